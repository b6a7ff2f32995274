#include "ModbusResponder.h"

#include "RegisterTable.h"
#include "UnitModel.h"

#include <modbus/modbus.h>

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace sim {

namespace {

// Served: the reads 1 to 4 (coils, discrete inputs, holding and input registers), the single
// writes 5 and 6, and 16.
constexpr std::uint8_t ReadCoils = 1;
constexpr std::uint8_t ReadDiscreteInputs = 2;
constexpr std::uint8_t ReadHoldingRegisters = 3;
constexpr std::uint8_t ReadInputRegisters = 4;
constexpr std::uint8_t WriteSingleCoil = 5;
constexpr std::uint8_t WriteSingleRegister = 6;
constexpr std::uint8_t WriteMultipleRegisters = 16;

bool isServed(std::uint8_t function) {
    for (const std::uint8_t served :
         {ReadCoils, ReadDiscreteInputs, ReadHoldingRegisters, ReadInputRegisters, WriteSingleCoil,
          WriteSingleRegister, WriteMultipleRegisters}) {
        if (function == served)
            return true;
    }
    return false;
}

std::uint16_t word(std::span<const std::uint8_t> frame, std::size_t at) {
    return static_cast<std::uint16_t>(frame[at] << 8 | frame[at + 1]);
}

// Holding registers a well-formed write request would change: first and values. Empty when
// libmodbus is going to refuse the request anyway.
std::vector<std::pair<int, std::uint16_t>> registerWrites(std::span<const std::uint8_t> request) {
    std::vector<std::pair<int, std::uint16_t>> writes;
    if (request[1] == WriteSingleRegister && request.size() == 8) {
        writes.emplace_back(word(request, 2), word(request, 4));
    } else if (request[1] == WriteMultipleRegisters && request.size() >= 9) {
        const int first = word(request, 2);
        const int count = word(request, 4);
        if (count < 1 || request[6] != 2 * count || request.size() != 9U + request[6] ||
            first + count > HoldingRegisterCount)
            return {};
        for (int i = 0; i < count; ++i)
            writes.emplace_back(first + i, word(request, 7 + 2 * static_cast<std::size_t>(i)));
    }
    return writes;
}

} // namespace

void ModbusResponder::ContextDeleter::operator()(_modbus* context) const {
    modbus_free(context);
}

void ModbusResponder::MappingDeleter::operator()(_modbus_mapping_t* mapping) const {
    modbus_mapping_free(mapping);
}

ModbusResponder::ModbusResponder() {
    std::array<int, 2> fds{};
    if (::pipe2(fds.data(), O_CLOEXEC | O_NONBLOCK) != 0)
        throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
    m_replyRead.reset(fds[0]);
    m_replyWrite.reset(fds[1]);

    // The device name is never opened: libmodbus only formats replies and writes them to the
    // socket it is given.
    m_context.reset(modbus_new_rtu("/dev/null", 9600, 'N', 8, 1));
    if (!m_context)
        throw std::runtime_error("modbus_new_rtu failed");
    modbus_set_socket(m_context.get(), m_replyWrite.get());
    // libmodbus sleeps for the response time-out before some exception replies; keep that short.
    modbus_set_response_timeout(m_context.get(), 0, 1);

    m_mapping.reset(modbus_mapping_new(CoilCount, DiscreteInputCount, HoldingRegisterCount,
                                      InputRegisterCount));
    if (!m_mapping)
        throw std::runtime_error("modbus_mapping_new failed");
}

ModbusResponder::~ModbusResponder() = default;

std::vector<std::uint8_t> ModbusResponder::takeReply() {
    std::vector<std::uint8_t> reply;
    std::array<std::uint8_t, 512> chunk{};
    for (;;) {
        const ssize_t got = ::read(m_replyRead.get(), chunk.data(), chunk.size());
        if (got <= 0)
            break;
        reply.insert(reply.end(), chunk.begin(), chunk.begin() + got);
    }
    return reply;
}

void ModbusResponder::loadMapping(const UnitModel& model) {
    for (int i = 0; i < CoilCount; ++i)
        m_mapping->tab_bits[i] = static_cast<std::uint8_t>(model.value(RegisterTable::Coil, i));
    for (int i = 0; i < DiscreteInputCount; ++i)
        m_mapping->tab_input_bits[i] =
            static_cast<std::uint8_t>(model.value(RegisterTable::DiscreteInput, i));
    for (int i = 0; i < InputRegisterCount; ++i)
        m_mapping->tab_input_registers[i] = model.value(RegisterTable::InputRegister, i);
    for (int i = 0; i < HoldingRegisterCount; ++i)
        m_mapping->tab_registers[i] = model.value(RegisterTable::HoldingRegister, i);
}

std::vector<std::uint8_t> ModbusResponder::respond(std::span<const std::uint8_t> request,
                                                   UnitModel& model) {
    if (request.size() < 4)
        return {};
    if (!isServed(request[1]))
        return exception(request, MODBUS_EXCEPTION_ILLEGAL_FUNCTION);
    for (const auto& [address, value] : registerWrites(request)) {
        if (address < HoldingRegisterCount &&
            UnitModel::refusal(RegisterTable::HoldingRegister, address, value))
            return exception(request, MODBUS_EXCEPTION_ILLEGAL_DATA_VALUE);
    }

    loadMapping(model);
    if (modbus_reply(m_context.get(), request.data(), static_cast<int>(request.size()),
                     m_mapping.get()) < 0)
        return {};
    std::vector<std::uint8_t> reply = takeReply();
    if (reply.size() >= 2 && reply[1] == request[1])
        applyWrites(request, model);
    return reply;
}

void ModbusResponder::applyWrites(std::span<const std::uint8_t> request, UnitModel& model) const {
    if (request[1] == WriteSingleCoil) {
        const int coil = word(request, 2);
        model.write(RegisterTable::Coil, coil, m_mapping->tab_bits[coil]);
        return;
    }
    for (const auto& [address, value] : registerWrites(request))
        model.write(RegisterTable::HoldingRegister, address, value);
}

std::vector<std::uint8_t> ModbusResponder::exception(std::span<const std::uint8_t> request,
                                                     std::uint8_t code) {
    if (request.size() < 4 || modbus_reply_exception(m_context.get(), request.data(), code) < 0)
        return {};
    return takeReply();
}

} // namespace sim

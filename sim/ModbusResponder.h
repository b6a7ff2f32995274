#pragma once

#include "UniqueFd.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

struct _modbus;
struct _modbus_mapping_t;

namespace sim {

class UnitModel;

// Builds the unit's Modbus RTU replies with libmodbus. libmodbus writes each reply into a pipe
// instead of the line, so the caller can still fault it before sending. Serves functions 1, 2,
// 3, 4, 5, 6 and 16 on the model's tables; other functions get the exception Illegal Function,
// requests outside the tables Illegal Data Address, malformed quantities Illegal Data Value.
class ModbusResponder {
public:
    ModbusResponder();
    ~ModbusResponder();
    ModbusResponder(const ModbusResponder&) = delete;
    ModbusResponder& operator=(const ModbusResponder&) = delete;

    // The reply (CRC included) to a request frame whose CRC has been checked, addressed to the
    // unit. Writes are applied to the model after the reply is built, so a write that moves the
    // unit's address is still answered from the old address.
    [[nodiscard]] std::vector<std::uint8_t> respond(std::span<const std::uint8_t> request,
                                                    UnitModel& model);

    // An exception reply (code 1 to 11) to the request; the request itself is not carried out.
    [[nodiscard]] std::vector<std::uint8_t> exception(std::span<const std::uint8_t> request,
                                                      std::uint8_t code);

private:
    struct ContextDeleter {
        void operator()(_modbus* context) const;
    };
    struct MappingDeleter {
        void operator()(_modbus_mapping_t* mapping) const;
    };

    [[nodiscard]] std::vector<std::uint8_t> takeReply();
    void loadMapping(const UnitModel& model);
    void applyWrites(std::span<const std::uint8_t> request, UnitModel& model) const;

    std::unique_ptr<_modbus, ContextDeleter> m_context;
    std::unique_ptr<_modbus_mapping_t, MappingDeleter> m_mapping;
    UniqueFd m_replyRead;
    UniqueFd m_replyWrite;
};

} // namespace sim

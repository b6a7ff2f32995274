#include "FakeSerialPort.h"

#include <algorithm>
#include <cstring>

using namespace climate::link;

SerialPort::OpenError FakeSerialPort::open(const std::string& name) {
    m_openedNames.push_back(name);
    if (m_openResult != OpenError::None) {
        return m_openResult;
    }
    m_open = true;
    m_lost = false;
    m_input.clear();
    return OpenError::None;
}

bool FakeSerialPort::applyLineSettings(std::int32_t baudRate, std::uint8_t dataBits) {
    const bool accepted =
        usable() && !m_refuseSettings && baudRate > 0 && dataBits >= 5 && dataBits <= 8;
    m_lineSettings.push_back({baudRate, dataBits, accepted});
    return accepted;
}

void FakeSerialPort::close() {
    ++m_closeCount;
    m_open = false;
    m_lost = false;
    m_input.clear();
}

std::uint32_t FakeSerialPort::bytesWaiting() {
    if (!usable()) {
        ++m_ignoredCalls;
        return 0;
    }
    return static_cast<std::uint32_t>(m_input.size());
}

void FakeSerialPort::purgeInput() {
    if (!usable()) {
        ++m_ignoredCalls;
        return;
    }
    m_input.clear();
    m_purges.push_back(m_tick);
    m_operations.push_back({m_tick, Operation::Kind::Purge});
}

std::uint32_t FakeSerialPort::read(std::uint8_t* destination, std::uint32_t count) {
    if (!usable() || destination == nullptr) {
        ++m_ignoredCalls;
        return 0;
    }
    const auto delivered = static_cast<std::uint32_t>(std::min<std::size_t>(count, m_input.size()));
    std::memcpy(destination, m_input.data(), delivered);
    m_input.erase(m_input.begin(), m_input.begin() + delivered);
    m_reads.push_back({m_tick, count, delivered});
    m_operations.push_back({m_tick, Operation::Kind::Read});
    return delivered;
}

void FakeSerialPort::write(const std::uint8_t* data, std::uint32_t count) {
    if (!usable() || (data == nullptr && count > 0)) {
        ++m_ignoredCalls;
        return;
    }
    m_writes.push_back({m_tick, std::vector<std::uint8_t>(data, data + count)});
    m_operations.push_back({m_tick, Operation::Kind::Write});
}

void FakeSerialPort::setOpen(bool open) {
    m_open = open;
    m_lost = false;
    if (!open) {
        m_input.clear();
    }
}

void FakeSerialPort::loseDevice() {
    m_lost = true;
    m_input.clear();
}

void FakeSerialPort::feed(std::span<const std::uint8_t> bytes) {
    receive(bytes);
}

void FakeSerialPort::arriveAt(int tick, std::span<const std::uint8_t> bytes) {
    if (tick <= m_tick) {
        receive(bytes);
        return;
    }
    m_scheduled.emplace(tick, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

void FakeSerialPort::advanceTick() {
    ++m_tick;
    while (!m_scheduled.empty() && m_scheduled.begin()->first <= m_tick) {
        const auto due = m_scheduled.extract(m_scheduled.begin());
        receive(due.mapped());
    }
}

int FakeSerialPort::purgesAt(int tick) const {
    return static_cast<int>(std::count(m_purges.begin(), m_purges.end(), tick));
}

std::vector<FakeSerialPort::Operation::Kind> FakeSerialPort::operationsAt(int tick) const {
    std::vector<Operation::Kind> kinds;
    for (const Operation& operation : m_operations) {
        if (operation.tick == tick) {
            kinds.push_back(operation.kind);
        }
    }
    return kinds;
}

void FakeSerialPort::clearRecords() {
    m_writes.clear();
    m_purges.clear();
    m_reads.clear();
    m_operations.clear();
    m_openedNames.clear();
    m_lineSettings.clear();
    m_closeCount = 0;
    m_ignoredCalls = 0;
}

void FakeSerialPort::receive(std::span<const std::uint8_t> bytes) {
    if (!usable()) {
        m_droppedBytes += bytes.size();
        return;
    }
    m_input.insert(m_input.end(), bytes.begin(), bytes.end());
}

#include "ModbusCrc.h"

#include <array>

namespace climate::link {

namespace {

// The two tables of the Modbus over Serial Line standard, generated at compile time from the
// reflected polynomial 0xA001. High-order table: CRC bits 8-15 after shifting `index` through the
// register; low-order table: bits 0-7.
struct CrcTables {
    std::array<std::uint8_t, 256> high{};
    std::array<std::uint8_t, 256> low{};
};

constexpr CrcTables makeTables() {
    CrcTables tables;
    for (unsigned index = 0; index < 256; ++index) {
        unsigned crc = index;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1U) ? (crc >> 1) ^ 0xA001U : crc >> 1;
        }
        // In the Modbus serial-line formulation the first accumulator holds the CRC's low byte.
        tables.high[index] = static_cast<std::uint8_t>(crc & 0xFFU);
        tables.low[index] = static_cast<std::uint8_t>(crc >> 8);
    }
    return tables;
}

constexpr CrcTables Tables = makeTables();

} // namespace

std::uint16_t ModbusCrc16(std::span<const std::uint8_t> bytes) {
    std::uint8_t first = 0xFF;
    std::uint8_t second = 0xFF;
    for (const std::uint8_t byte : bytes) {
        const std::uint8_t index = first ^ byte;
        first = second ^ Tables.high[index];
        second = Tables.low[index];
    }
    return static_cast<std::uint16_t>(first << 8 | second);
}

bool crcHolds(std::span<const std::uint8_t> frame) {
    if (frame.size() < 4) {
        return false;
    }
    const std::size_t crcAt = frame.size() - 2;
    const std::uint16_t received = static_cast<std::uint16_t>(frame[crcAt] << 8 | frame[crcAt + 1]);
    return ModbusCrc16(frame.first(crcAt)) == received;
}

} // namespace climate::link

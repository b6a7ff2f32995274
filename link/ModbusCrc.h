#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace climate::link {

// CRC-16/MODBUS (reflected polynomial 0xA001, initial value 0xFFFF), computed by the two-table
// method of the Modbus over Serial Line standard. The result's upper byte is the CRC byte sent
// first on the wire, its lower byte the one sent second: 01 03 00 00 00 01 gives 0x840A.
[[nodiscard]] std::uint16_t ModbusCrc16(std::span<const std::uint8_t> bytes);

// The frame ends in the CRC of the bytes before it, upper byte first. A frame too short to hold
// an address, a function and a CRC never does.
[[nodiscard]] bool crcHolds(std::span<const std::uint8_t> frame);

} // namespace climate::link

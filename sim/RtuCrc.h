#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace sim {

// CRC-16/MODBUS register value; its low byte travels first on the line.
[[nodiscard]] std::uint16_t modbusCrc(std::span<const std::uint8_t> bytes);

// True when the last two bytes of frame are the CRC of the bytes before them.
[[nodiscard]] bool hasValidCrc(std::span<const std::uint8_t> frame);

void appendCrc(std::vector<std::uint8_t>& frame);

// Recomputes the trailing CRC after the frame's content was changed on purpose.
void refreshCrc(std::vector<std::uint8_t>& frame);

} // namespace sim

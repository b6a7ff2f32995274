#pragma once

#include "link/ModbusFrame.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Frames written as hex text, the way the tests state them: "01 03 02 00 FA".

// Hex digits in pairs; blanks between pairs are optional. Throws std::invalid_argument on any
// other character or an odd number of digits.
[[nodiscard]] std::vector<std::uint8_t> fromHex(std::string_view hex);
// The bytes of `hex` followed by their CRC-16/MODBUS, low byte of the register first, as the
// controller sends it: replyFrom("01 03 02 00 FA") is a complete 7-byte reply.
[[nodiscard]] std::vector<std::uint8_t> replyFrom(std::string_view hex);
// `bytes` with their CRC appended.
[[nodiscard]] std::vector<std::uint8_t> withCrc(std::vector<std::uint8_t> bytes);
// "01 03 00 00" (upper case, one blank between bytes): readable failure messages.
[[nodiscard]] std::string toHex(std::span<const std::uint8_t> bytes);
// The bytes of a request as sent.
[[nodiscard]] std::vector<std::uint8_t> bytesOf(const ModbusFrame& frame);

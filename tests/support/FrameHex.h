#pragma once

#include "HexText.h"
#include "link/ModbusFrame.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Frames written as hex text, the way the tests state them: "01 03 02 00 FA".

// The bytes of `hex` followed by their CRC-16/MODBUS, low byte of the register first, as the
// controller sends it: replyFrom("01 03 02 00 FA") is a complete 7-byte reply.
[[nodiscard]] std::vector<std::uint8_t> replyFrom(std::string_view hex);
// `bytes` with their CRC appended.
[[nodiscard]] std::vector<std::uint8_t> withCrc(std::vector<std::uint8_t> bytes);
// The bytes of a request as sent.
[[nodiscard]] std::vector<std::uint8_t> bytesOf(const climate::link::ModbusFrame& frame);

#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Bytes written as hex text, the way the tests of the tool and of the simulator state them:
// "01 03 02 00 FA".

// Hex digits in pairs; blanks between pairs are optional. Throws std::invalid_argument on any
// other character or an odd number of digits.
[[nodiscard]] std::vector<std::uint8_t> fromHex(std::string_view hex);

// "01 03 00 00" (upper case, one blank between bytes): readable failure messages.
[[nodiscard]] std::string toHex(std::span<const std::uint8_t> bytes);

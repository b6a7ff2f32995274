#pragma once

#include "RtuCrc.h"

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sim::test {

// "01 03 00 00" -> bytes.
inline std::vector<std::uint8_t> fromHex(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    std::string digits;
    for (const char c : text) {
        if (c == ' ')
            continue;
        digits += c;
        if (digits.size() == 2) {
            bytes.push_back(static_cast<std::uint8_t>(std::stoi(digits, nullptr, 16)));
            digits.clear();
        }
    }
    return bytes;
}

// A frame written without its CRC, CRC appended.
inline std::vector<std::uint8_t> frame(std::string_view text) {
    std::vector<std::uint8_t> bytes = fromHex(text);
    appendCrc(bytes);
    return bytes;
}

inline std::string toHex(std::span<const std::uint8_t> bytes) {
    std::string text;
    for (const std::uint8_t byte : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", byte);
        if (!text.empty())
            text += ' ';
        text += digits;
    }
    return text;
}

} // namespace sim::test

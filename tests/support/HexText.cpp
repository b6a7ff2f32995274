#include "HexText.h"

#include <stdexcept>

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

std::vector<std::uint8_t> fromHex(std::string_view hex) {
    std::vector<std::uint8_t> bytes;
    int high = -1;
    for (const char c : hex) {
        if (c == ' ' || c == '\t' || c == '\n') {
            if (high >= 0) {
                throw std::invalid_argument("odd hex digit in '" + std::string(hex) + "'");
            }
            continue;
        }
        const int digit = hexDigit(c);
        if (digit < 0) {
            throw std::invalid_argument("not a hex digit in '" + std::string(hex) + "'");
        }
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<std::uint8_t>(high << 4 | digit));
            high = -1;
        }
    }
    if (high >= 0) {
        throw std::invalid_argument("odd number of hex digits in '" + std::string(hex) + "'");
    }
    return bytes;
}

std::string toHex(std::span<const std::uint8_t> bytes) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t byte : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += Digits[byte >> 4];
        text += Digits[byte & 0x0F];
    }
    return text;
}

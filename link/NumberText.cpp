#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace climate::link {

namespace {

constexpr std::int64_t Saturation = std::int64_t{1} << 62;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

[[noreturn]] void notFloat(std::string_view text) {
    throw ConversionError("'" + std::string(trimmed(text)) +
                          "' is not a valid floating point value");
}

[[noreturn]] void notInteger(std::string_view text) {
    throw ConversionError("'" + std::string(trimmed(text)) + "' is not a valid integer value");
}

} // namespace

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

DecimalNumber DecimalNumber::parse(std::string_view text) {
    const std::string_view s = trimmed(text);
    DecimalNumber number;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        number.m_negative = s[i] == '-';
        ++i;
    }
    std::string digits;
    std::int64_t fractionDigits = 0;
    bool anyDigit = false;
    while (i < s.size() && isDigit(s[i])) {
        digits += s[i++];
        anyDigit = true;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) {
            digits += s[i++];
            ++fractionDigits;
            anyDigit = true;
        }
    }
    if (!anyDigit) {
        notFloat(text);
    }
    std::int64_t exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            negativeExponent = s[i] == '-';
            ++i;
        }
        if (i >= s.size() || !isDigit(s[i])) {
            notFloat(text);
        }
        while (i < s.size() && isDigit(s[i])) {
            // Beyond a few thousand the value is zero or huge either way; stop growing.
            if (exponent < 100000) {
                exponent = exponent * 10 + (s[i] - '0');
            }
            ++i;
        }
        if (negativeExponent) {
            exponent = -exponent;
        }
    }
    if (i != s.size()) {
        notFloat(text);
    }
    const std::size_t firstNonZero = digits.find_first_not_of('0');
    number.m_digits =
        firstNonZero == std::string::npos ? std::string() : digits.substr(firstNonZero);
    number.m_exponent = exponent - fractionDigits;
    if (number.m_digits.empty()) {
        number.m_negative = false;
    }
    return number;
}

std::int64_t DecimalNumber::truncatedScaled(int extraExponent) const {
    if (m_digits.empty()) {
        return 0;
    }
    const std::int64_t scale = m_exponent + extraExponent;
    // Number of digits that stand left of the decimal point after scaling.
    const std::int64_t wholeDigits = static_cast<std::int64_t>(m_digits.size()) + scale;
    if (wholeDigits <= 0) {
        return 0;
    }
    if (wholeDigits > 18) {
        return m_negative ? -Saturation : Saturation;
    }
    std::int64_t value = 0;
    for (std::int64_t k = 0; k < wholeDigits; ++k) {
        const int digit = k < static_cast<std::int64_t>(m_digits.size()) ? m_digits[k] - '0' : 0;
        value = value * 10 + digit;
    }
    value = std::min(value, Saturation);
    return m_negative ? -value : value;
}

std::int64_t DecimalNumber::truncatedTenths() const {
    return truncatedScaled(1);
}

std::int64_t DecimalNumber::integerPart() const {
    return truncatedScaled(0);
}

int DecimalNumber::compare(std::int64_t whole) const {
    const std::int64_t part = integerPart();
    if (part != whole) {
        return part < whole ? -1 : 1;
    }
    // Equal integer parts: any fraction left decides (its sign is the number's sign).
    const std::int64_t wholeDigits = static_cast<std::int64_t>(m_digits.size()) + m_exponent;
    const std::size_t kept = wholeDigits <= 0 ? 0 : static_cast<std::size_t>(wholeDigits);
    const bool hasFraction =
        kept < m_digits.size() && m_digits.find_first_not_of('0', kept) != std::string::npos;
    if (!hasFraction) {
        return 0;
    }
    return m_negative ? -1 : 1;
}

double DecimalNumber::toDouble() const {
    if (m_digits.empty()) {
        return 0.0;
    }
    std::string text = m_digits + "e" + std::to_string(m_exponent);
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // The magnitude decides, not the exponent alone: "1" and 309 zeros has exponent 0 and
        // overflows, 10^400 written with 500 digits and e-100 too.
        const std::int64_t wholeDigits = static_cast<std::int64_t>(m_digits.size()) + m_exponent;
        value = wholeDigits > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return m_negative ? -value : value;
}

std::int32_t parseInteger(std::string_view text) {
    const std::string_view s = trimmed(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    if (i >= s.size()) {
        notInteger(text);
    }
    std::int64_t value = 0;
    for (; i < s.size(); ++i) {
        if (!isDigit(s[i])) {
            notInteger(text);
        }
        value = value * 10 + (s[i] - '0');
        if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) {
            notInteger(text);
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<std::int32_t>::max() ||
        value < std::numeric_limits<std::int32_t>::min()) {
        notInteger(text);
    }
    return static_cast<std::int32_t>(value);
}

std::string formatGeneral(double value) {
    if (value == 0.0) {
        return "0"; // also for -0.0
    }
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, result.ptr);
    // to_chars writes exponents as e+20; the general format of the window does the same.
    return text;
}

} // namespace climate::link

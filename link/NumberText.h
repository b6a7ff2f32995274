#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace climate::link {

// A text typed into a field that is not a number. The message is what the user sees.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A decimal number exactly as typed: value = (negative ? -1 : 1) * digits * 10^exponent.
// Keeping the typed digits avoids binary floating point, where 25.3 * 10 truncates to 252.
class DecimalNumber {
public:
    // Grammar: optional blanks, optional sign, digits with an optional '.' fraction (at least one
    // digit in all), an optional exponent (e or E, optional sign, digits), optional blanks.
    // Anything else (comma, inf, nan, hexadecimal) raises
    // ConversionError("'<trimmed text>' is not a valid floating point value").
    static DecimalNumber parse(std::string_view text);

    // The value times 10, truncated toward zero; saturates at +-(2^62) for huge values, which no
    // register accepts.
    [[nodiscard]] std::int64_t truncatedTenths() const;
    // The integer part, truncated toward zero, saturating like truncatedTenths().
    [[nodiscard]] std::int64_t integerPart() const;
    // Exact comparison with a whole number: negative, zero or positive.
    [[nodiscard]] int compare(std::int64_t whole) const;
    // The nearest double; +-inf beyond its range, 0 below it.
    [[nodiscard]] double toDouble() const;

private:
    [[nodiscard]] std::int64_t truncatedScaled(int extraExponent) const;

    bool m_negative = false;
    std::string m_digits; // no leading zeros; empty means zero
    std::int64_t m_exponent = 0;
};

// Integer fields: optional blanks, optional sign, decimal digits, optional blanks, and the value
// must fit a signed 32-bit integer; otherwise
// ConversionError("'<trimmed text>' is not a valid integer value").
[[nodiscard]] std::int32_t parseInteger(std::string_view text);

// Text with leading and trailing blanks (spaces, tabs, line breaks) removed.
[[nodiscard]] std::string_view trimmed(std::string_view text);

// The general number format of the window: shortest form, at most 15 significant digits, always a
// '.' as decimal separator (25.3, -5.5, 25, -3), whatever the system locale.
[[nodiscard]] std::string formatGeneral(double value);

} // namespace climate::link

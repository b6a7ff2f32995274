// The decimal and integer text parsing against the C library's conversions, restricted to the
// grammar our parser accepts (the C library also takes inf, nan, hexadecimal and, by locale, a
// comma; our parser refuses them on purpose). Accepted decimals convert to within one ulp of
// strtod; integers equal strtol's result with the whole trimmed text consumed.
#include "link/NumberText.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <string_view>

using namespace climate::link;

namespace {

bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool digit(char c) {
    return c >= '0' && c <= '9';
}

std::string trimmedCopy(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && blank(text[begin]))
        ++begin;
    while (end > begin && blank(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

// [+-]? (digits [. digits?] | . digits) ([eE] [+-]? digits)?
bool decimalGrammar(const std::string& t) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    std::size_t mantissaDigits = 0;
    while (i < t.size() && digit(t[i]))
        ++i, ++mantissaDigits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && digit(t[i]))
            ++i, ++mantissaDigits;
    }
    if (mantissaDigits == 0)
        return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        if (i == t.size() || !digit(t[i]))
            return false;
        while (i < t.size() && digit(t[i]))
            ++i;
    }
    return i == t.size();
}

bool withinOneUlp(double a, double b) {
    if (a == b)
        return true; // also equal infinities, and 0 against -0
    if (std::isnan(a) || std::isnan(b) || std::isinf(a) || std::isinf(b))
        return false;
    return std::nextafter(a, b) == b;
}

// what() is a C string: a text with a NUL character in it shows up to there.
bool sameMessage(const ConversionError& error, const std::string& expected) {
    return std::string_view(error.what()) == std::string_view(expected.c_str());
}

void checkDecimal(std::string_view text) {
    const std::string t = trimmedCopy(text);
    const bool accepted = decimalGrammar(t);
    try {
        const DecimalNumber number = DecimalNumber::parse(text);
        if (!accepted)
            std::abort(); // took a text outside the grammar
        char* end = nullptr;
        const double reference = std::strtod(t.c_str(), &end);
        if (end != t.c_str() + t.size())
            std::abort(); // the grammar above is wrong
        if (!withinOneUlp(number.toDouble(), reference))
            std::abort();
        // Truncation toward zero keeps the sign; beyond 2^62 tenths it saturates.
        const std::int64_t tenths = number.truncatedTenths();
        if ((tenths > 0 && reference <= 0) || (tenths < 0 && reference >= 0))
            std::abort();
        // Compared in doubles only while ten times the value stays well inside their 53 bits:
        // from 2^53 tenths on, the double nearest the tenths and the reference's own rounding
        // are each off by more than the one tenth truncation may take.
        if (std::fabs(reference) < 1e14 &&
            std::fabs(static_cast<double>(tenths) - reference * 10) > 1.0 + 1e-6)
            std::abort();
    } catch (const ConversionError& error) {
        if (accepted)
            std::abort();
        if (!sameMessage(error, "'" + t + "' is not a valid floating point value"))
            std::abort();
    }
}

void checkInteger(std::string_view text) {
    const std::string t = trimmedCopy(text);
    bool accepted = !t.empty() && !blank(t[0]) && t.find('\0') == std::string::npos;
    long reference = 0;
    if (accepted) {
        // strtol also skips blanks after the sign ("- 5" is refused by both: it stops at the
        // blank) and takes nothing but decimal digits in base 10.
        char* end = nullptr;
        errno = 0;
        reference = std::strtol(t.c_str(), &end, 10);
        accepted = end == t.c_str() + t.size() && errno == 0 &&
                   reference >= std::numeric_limits<std::int32_t>::min() &&
                   reference <= std::numeric_limits<std::int32_t>::max() &&
                   (digit(t[0]) || (t.size() > 1 && digit(t[1])));
    }
    try {
        const std::int32_t value = parseInteger(text);
        if (!accepted || value != reference)
            std::abort();
    } catch (const ConversionError& error) {
        if (accepted)
            std::abort();
        if (!sameMessage(error, "'" + t + "' is not a valid integer value"))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    checkDecimal(text);
    checkInteger(text);
    return 0;
}

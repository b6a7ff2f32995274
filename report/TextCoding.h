#pragma once

#include <string>
#include <string_view>

// UTF-8, the workbook model's texts, to and from UTF-16, the file's.
namespace climate::report {

// UTF-8 to UTF-16; a malformed sequence becomes U+FFFD.
[[nodiscard]] std::u16string toUtf16(std::string_view text);

// Appends one code point as UTF-8. A surrogate code point is encoded like any other (three bytes),
// so a caller that must not write one maps it to U+FFFD first.
void appendUtf8(std::string& out, char32_t code);

} // namespace climate::report

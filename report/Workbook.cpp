#include "Workbook.h"

#include <algorithm>
#include <atomic>

namespace climate::report {

namespace {
std::atomic<std::uint64_t> lastSerial{0};
}

Workbook::Workbook() : m_serial(++lastSerial) {}

Worksheet& Workbook::addWorksheet() {
    m_sheets.push_back(std::make_unique<Worksheet>("Sheet" + std::to_string(m_sheets.size() + 1)));
    m_activeSheet = sheetCount() - 1;
    return *m_sheets.back();
}

std::uint32_t Workbook::internString(std::string_view text) {
    if (const auto found = m_stringIndex.find(text); found != m_stringIndex.end())
        return found->second;
    const auto index = static_cast<std::uint32_t>(m_strings.size());
    m_strings.emplace_back(text);
    m_stringIndex.emplace(m_strings.back(), index);
    return index;
}

std::uint32_t Workbook::stringCount() const {
    return static_cast<std::uint32_t>(m_strings.size());
}

std::optional<std::uint16_t> Workbook::internFormat(const CellFormat& format) {
    const auto found = std::find(m_formats.begin(), m_formats.end(), format);
    if (found != m_formats.end())
        return static_cast<std::uint16_t>(found - m_formats.begin());
    if (formatCount() >= MaxFormats)
        return std::nullopt;
    m_formats.push_back(format);
    return static_cast<std::uint16_t>(m_formats.size() - 1);
}

} // namespace climate::report

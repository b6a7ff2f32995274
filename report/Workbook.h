#pragma once

#include "CellFormat.h"
#include "Worksheet.h"

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace climate::report {

// A workbook in memory: its sheets, the texts its cells share and the cell formats they use.
class Workbook {
public:
    Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // Appends a sheet named "Sheet<n>" and makes it the active one.
    Worksheet& addWorksheet();
    [[nodiscard]] int sheetCount() const { return static_cast<int>(m_sheets.size()); }
    [[nodiscard]] Worksheet& sheet(int index) { return *m_sheets[index]; }
    [[nodiscard]] const Worksheet& sheet(int index) const { return *m_sheets[index]; }
    [[nodiscard]] int activeSheet() const { return m_activeSheet; }
    // Tells this workbook apart from every other of the process (see Worksheet::serial).
    [[nodiscard]] std::uint64_t serial() const { return m_serial; }

    // Index of a text (UTF-8) in the shared table; equal texts share one entry.
    std::uint32_t internString(std::string_view text);
    [[nodiscard]] const std::string& string(std::uint32_t index) const { return m_strings[index]; }
    [[nodiscard]] std::uint32_t stringCount() const;

    // The format table holds at most this many formats, as the file format does.
    static constexpr int MaxFormats = 4000;
    // Index of a format in the table; index 0 is the default format. None when the table is full.
    std::optional<std::uint16_t> internFormat(const CellFormat& format);
    [[nodiscard]] const CellFormat& format(std::uint16_t index) const { return m_formats[index]; }
    [[nodiscard]] int formatCount() const { return static_cast<int>(m_formats.size()); }

private:
    std::uint64_t m_serial = 0;
    std::vector<std::unique_ptr<Worksheet>> m_sheets;
    int m_activeSheet = -1;
    std::deque<std::string> m_strings; // a deque keeps the views in m_stringIndex valid
    std::unordered_map<std::string_view, std::uint32_t> m_stringIndex;
    std::vector<CellFormat> m_formats{CellFormat{}};
};

} // namespace climate::report

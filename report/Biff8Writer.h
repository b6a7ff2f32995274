#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class Workbook;

// Writes a workbook as the records of the Excel 97-2003 format (BIFF8): the "Workbook" stream
// of an .xls file, workbook globals first, then one substream per sheet. Cells are written as
// shared-string labels, RK or NUMBER records; formats as XF records.
class Biff8Writer {
public:
    [[nodiscard]] static std::vector<std::uint8_t> workbookStream(const Workbook& book);

    // A column width given in characters (as a spreadsheet's ColumnWidth property takes it) in
    // the file's unit: 1/256 of the default font's digit width, cell padding included.
    [[nodiscard]] static std::uint16_t columnWidthUnits(double characters);
    // The packed form of an RK record when it holds the value exactly.
    [[nodiscard]] static std::optional<std::uint32_t> rkNumber(double value);
    // The number format index a format text has in the file; built-in formats keep their fixed
    // index, others are numbered from 164 in the order of the workbook's format table.
    [[nodiscard]] static std::optional<std::uint16_t> builtInNumberFormat(const std::string& text);
};

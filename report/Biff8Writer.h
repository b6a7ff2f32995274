#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace climate::report {

class Workbook;

// Writes a workbook as the records of the Excel 97-2003 format (BIFF8): the "Workbook" stream
// of an .xls file, workbook globals first, then one substream per sheet. Cells are written as
// shared-string labels, RK or NUMBER records; formats as XF records.
//
// A writer keeps what it encoded: written again, a workbook costs only the blocks of 32 rows
// and the texts that changed since, so a long log can be saved whole after every row.
class Biff8Writer {
public:
    Biff8Writer();
    Biff8Writer(const Biff8Writer&) = delete;
    Biff8Writer& operator=(const Biff8Writer&) = delete;
    ~Biff8Writer();

    // The stream as consecutive pieces, valid until the next call: the kept encoding of every
    // block of rows, and small pieces for the globals and each sheet's head and tail. Nothing
    // is copied into one buffer, which for a long log would cost more than the changes.
    [[nodiscard]] const std::vector<std::span<const std::uint8_t>>&
    workbookPieces(const Workbook& book);
    // The stream in one piece.
    [[nodiscard]] std::vector<std::uint8_t> workbookStream(const Workbook& book);

    // A column width given in characters (as a spreadsheet's ColumnWidth property takes it) in
    // the file's unit: 1/256 of the default font's digit width, cell padding included.
    [[nodiscard]] static std::uint16_t columnWidthUnits(double characters);
    // The packed form of an RK record when it holds the value exactly.
    [[nodiscard]] static std::optional<std::uint32_t> rkNumber(double value);
    // The index of a built-in number format ("0" is 1); others get FORMAT records from 164 on.
    [[nodiscard]] static std::optional<std::uint16_t> builtInNumberFormat(const std::string& text);

private:
    struct Encoded;
    std::unique_ptr<Encoded> m_encoded;
};

} // namespace climate::report

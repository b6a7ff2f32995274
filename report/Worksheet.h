#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace climate::report {

// The cells and columns of one sheet. Formats and texts are indexes into the workbook's tables,
// so a sheet of many rows stays small. Rows and columns are 0-based here.
class Worksheet {
public:
    static constexpr int MaxRows = 65536; // the limits of the Excel 97-2003 format
    static constexpr int MaxColumns = 256;
    static constexpr int RowsPerBlock = 32; // rows are tracked, and written, in blocks of 32

    struct Cell {
        enum class Kind : std::uint8_t { Empty, Blank, Number, Text };
        Kind kind = Kind::Empty;  // Blank: formatted, no value
        std::uint16_t format = 0; // index into the workbook's formats; 0 is the default
        std::uint32_t text = 0;   // index into the workbook's strings, for Text
        double number = 0;        // for Number
    };
    struct Column {
        double width = -1;        // in characters of the default font; negative: not set
        std::uint16_t format = 0; // the format new cells of the column start with
    };

    explicit Worksheet(std::string name);

    [[nodiscard]] const std::string& name() const { return m_name; }

    // The cell at (row, column) to change, created empty when it does not exist yet.
    Cell& cellAt(int row, int column);
    // nullptr where nothing has been written.
    [[nodiscard]] const Cell* cell(int row, int column) const;
    // One past the last row touched (0 for an empty sheet).
    [[nodiscard]] int rowCount() const { return static_cast<int>(m_rows.size()); }
    // The cells of a row, indexed by column; shorter than the sheet is wide.
    [[nodiscard]] const std::vector<Cell>& row(int row) const { return m_rows[row]; }
    // A row's cells to change, for applying a column format to the cells already there.
    [[nodiscard]] std::vector<Cell>& mutableRow(int row);

    // A number that changes whenever a cell of block (rows 32 * block ...) may have changed, so
    // a writer can keep what it encoded of blocks that stayed as they were.
    [[nodiscard]] std::uint64_t blockVersion(int block) const { return m_blockVersions[block]; }
    // Tells this sheet apart from every other sheet of the process, also from a later one that
    // happens to reuse its memory.
    [[nodiscard]] std::uint64_t serial() const { return m_serial; }

    Column& column(int column) { return m_columns[column]; }
    [[nodiscard]] const Column& column(int column) const { return m_columns[column]; }

private:
    void touch(int row);

    std::string m_name;
    std::uint64_t m_serial = 0;
    std::uint64_t m_changes = 0;
    std::vector<std::vector<Cell>> m_rows;
    std::vector<std::uint64_t> m_blockVersions;
    std::vector<Column> m_columns = std::vector<Column>(MaxColumns);
};

} // namespace climate::report

#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The cells and columns of one sheet. Formats and texts are indexes into the workbook's tables,
// so a sheet of many rows stays small. Rows and columns are 0-based here.
class Worksheet {
public:
    static constexpr int MaxRows = 65536; // the limits of the Excel 97-2003 format
    static constexpr int MaxColumns = 256;

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

    // The cell at (row, column), created empty when it does not exist yet.
    Cell& cellAt(int row, int column);
    // nullptr where nothing has been written.
    [[nodiscard]] const Cell* cell(int row, int column) const;
    // One past the last row that holds a cell (0 for an empty sheet).
    [[nodiscard]] int rowCount() const { return static_cast<int>(m_rows.size()); }
    // The cells of a row, indexed by column; shorter than the sheet is wide.
    [[nodiscard]] const std::vector<Cell>& row(int row) const { return m_rows[row]; }
    // Rows that exist, for applying a column format to the cells already there.
    [[nodiscard]] std::vector<Cell>& mutableRow(int row) { return m_rows[row]; }

    Column& column(int column) { return m_columns[column]; }
    [[nodiscard]] const Column& column(int column) const { return m_columns[column]; }

private:
    std::string m_name;
    std::vector<std::vector<Cell>> m_rows;
    std::vector<Column> m_columns = std::vector<Column>(MaxColumns);
};

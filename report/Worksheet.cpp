#include "Worksheet.h"

#include <atomic>
#include <utility>

namespace climate::report {

namespace {
std::atomic<std::uint64_t> lastSerial{0};
}

Worksheet::Worksheet(std::string name) : m_name(std::move(name)), m_serial(++lastSerial) {}

void Worksheet::touch(int row) {
    const int block = row / RowsPerBlock;
    if (block >= static_cast<int>(m_blockVersions.size()))
        m_blockVersions.resize(block + 1, 0);
    m_blockVersions[block] = ++m_changes;
}

std::vector<Worksheet::Cell>& Worksheet::mutableRow(int row) {
    touch(row);
    return m_rows[row];
}

Worksheet::Cell& Worksheet::cellAt(int row, int column) {
    if (row >= rowCount())
        m_rows.resize(row + 1);
    touch(row);
    auto& cells = m_rows[row];
    if (column >= static_cast<int>(cells.size()))
        cells.resize(column + 1);
    Cell& found = cells[column];
    if (found.kind == Cell::Kind::Empty)
        found.format = m_columns[column].format; // a new cell starts with its column's format
    return found;
}

const Worksheet::Cell* Worksheet::cell(int row, int column) const {
    if (row >= rowCount() || column >= static_cast<int>(m_rows[row].size()))
        return nullptr;
    const Cell& found = m_rows[row][column];
    return found.kind == Cell::Kind::Empty ? nullptr : &found;
}

} // namespace climate::report

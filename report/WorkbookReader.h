#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace climate::report {

// Why a workbook could not be read: one sentence naming the problem, for the user.
class WorkbookReadError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One cell value as the reader passes it on. Rows and columns are 0-based.
struct ReadCell {
    enum class Kind : std::uint8_t { Number, Text, Blank };
    int sheet = 0;
    int row = 0;
    int column = 0;
    Kind kind = Kind::Blank;
    double number = 0;
    std::string_view text; // valid during the call only
};

// Reads the records Biff8Writer writes (Excel 97-2003, BIFF8): the "Workbook" stream of an OLE2
// compound file (CompoundFile::readStream), its shared strings and every sheet's label, number, RK
// and blank cells. Records it does not need are skipped by their length. Anything that does not add
// up (a record running past the stream, a string past its record, a cell outside a sheet, an
// index outside the string table) throws WorkbookReadError; the reader never reads outside its
// buffers and every loop ends with the stream.
class WorkbookReader {
public:
    using CellVisitor = std::function<void(const ReadCell& cell)>;

    // The "Workbook" stream of the compound file at `path`.
    [[nodiscard]] static std::vector<std::uint8_t>
    workbookStream(const std::filesystem::path& path);
    // The same from a compound file in memory.
    [[nodiscard]] static std::vector<std::uint8_t>
    workbookStreamOf(std::span<const std::uint8_t> file);

    // Walks the stream's records and hands every cell, sheet by sheet in file order, to `visit`.
    // Returns the number of sheets.
    static int readCells(std::span<const std::uint8_t> stream, const CellVisitor& visit);
};

} // namespace climate::report

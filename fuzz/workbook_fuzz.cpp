// The workbook writer with arbitrary texts (any UTF-16 including lone surrogates, long, empty)
// and numbers (NaN, infinities, denormals, anything): the stream goes into an in-memory compound
// file, the container is opened again, and the record stream is walked. Every record fits its size
// limit, every sheet is one BOF ... EOF substream, every cell written is there once with the
// value it was given (bit for bit, NaN as NaN), and a shared-string index stays inside the table.
// Written a second time after changes, the kept encoding gives the same bytes as a fresh writer.
#include "report/Biff8Writer.h"
#include "report/CompoundFile.h"
#include "report/TextCoding.h"
#include "report/Workbook.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

using namespace climate::report;

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

// UTF-16 code units to UTF-8; a lone surrogate is encoded on its own as three bytes, which is
// malformed UTF-8 the writer has to cope with.
std::string utf8Of(const std::vector<std::uint16_t>& units) {
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        std::uint32_t code = units[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (units[++i] - 0xDC00);
        }
        appendUtf8(out, code);
    }
    return out;
}

double numberFrom(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange(0, 7)) {
    case 0:
        return std::nan("");
    case 1:
        return HUGE_VAL;
    case 2:
        return -HUGE_VAL;
    case 3:
        return std::numeric_limits<double>::denorm_min() * input.ConsumeIntegral<std::uint16_t>();
    case 4:
        return input.ConsumeIntegral<std::int32_t>() / (input.ConsumeBool() ? 100.0 : 1.0);
    default:
        return std::bit_cast<double>(input.ConsumeIntegral<std::uint64_t>());
    }
}

std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t le32(const std::uint8_t* p) {
    return le16(p) | static_cast<std::uint32_t>(le16(p + 2)) << 16;
}

double unpackRk(std::uint32_t rk) {
    double value = (rk & 0x2) ? static_cast<double>(static_cast<std::int32_t>(rk) >> 2)
                              : std::bit_cast<double>(static_cast<std::uint64_t>(rk & ~3u) << 32);
    return (rk & 0x1) ? value / 100 : value;
}

bool sameNumber(double a, double b) {
    return (std::isnan(a) && std::isnan(b)) ||
           std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

using Position = std::pair<int, std::pair<int, int>>; // sheet, row, column
struct Expected {
    Worksheet::Cell::Kind kind;
    double number = 0;
};

// The workbook stream read back from the compound file in memory.
std::vector<std::uint8_t> readBack(const std::vector<std::uint8_t>& file) {
    try {
        return CompoundFile::readStream(file, "Workbook");
    } catch (const CompoundFile::ReadError&) {
        std::abort();
    }
}

void walk(const std::vector<std::uint8_t>& stream, int sheets,
          const std::map<Position, Expected>& cells) {
    int depth = 0;
    int substreams = 0;
    int boundSheets = 0;
    std::uint32_t uniqueStrings = 0;
    std::map<Position, int> seen;
    std::size_t at = 0;
    while (at < stream.size()) {
        check(at + 4 <= stream.size());
        const std::uint16_t type = le16(&stream[at]);
        const std::size_t size = le16(&stream[at + 2]);
        check(size <= 8224 && at + 4 + size <= stream.size());
        const std::uint8_t* data = &stream[at + 4];
        const int sheet = substreams - 2; // the globals are substream 1
        switch (type) {
        case 0x0809: // BOF
            check(depth == 0);
            ++depth;
            ++substreams;
            break;
        case 0x000A: // EOF
            check(depth == 1);
            --depth;
            break;
        case 0x0085:
            ++boundSheets;
            break;
        case 0x00FC: // SST: total, unique
            check(size >= 8);
            uniqueStrings = le32(data + 4);
            break;
        case 0x00FD:   // LABELSST
        case 0x0203:   // NUMBER
        case 0x027E:   // RK
        case 0x0201: { // BLANK
            check(depth == 1 && sheet >= 0 && size >= 6);
            const Position position{sheet, {le16(data), le16(data + 2)}};
            ++seen[position];
            const auto expected = cells.find(position);
            check(expected != cells.end());
            if (type == 0x00FD) {
                check(size == 10 && expected->second.kind == Worksheet::Cell::Kind::Text);
                check(le32(data + 6) < uniqueStrings);
            } else if (type == 0x0203) {
                check(size == 14 && expected->second.kind == Worksheet::Cell::Kind::Number);
                check(sameNumber(
                    std::bit_cast<double>(le32(data + 6) | std::uint64_t{le32(data + 10)} << 32),
                    expected->second.number));
            } else if (type == 0x027E) {
                check(size == 10 && expected->second.kind == Worksheet::Cell::Kind::Number);
                check(sameNumber(unpackRk(le32(data + 6)), expected->second.number));
            } else {
                check(expected->second.kind == Worksheet::Cell::Kind::Blank);
            }
            break;
        }
        default:
            break;
        }
        at += 4 + size;
    }
    check(depth == 0 && substreams == sheets + 1 && boundSheets == sheets);
    for (const auto& [position, expected] : cells)
        check(seen[position] == 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    Workbook book;
    Biff8Writer kept;
    std::map<Position, Expected> cells;
    int sheets = 0;
    bool written = false;

    while (input.remaining_bytes() > 0) {
        switch (input.ConsumeIntegralInRange(0, 9)) {
        case 0:
            if (sheets < 4) {
                book.addWorksheet();
                ++sheets;
            }
            break;
        case 1: // a column's width and format
            if (sheets > 0) {
                Worksheet& sheet = book.sheet(sheets - 1);
                auto& column = sheet.column(input.ConsumeIntegralInRange(0, 255));
                column.width = input.ConsumeFloatingPointInRange(-1.0, 300.0);
            }
            break;
        case 2: { // a cell format with an arbitrary number format text
            CellFormat format;
            format.horizontal =
                static_cast<CellFormat::Horizontal>(input.ConsumeIntegralInRange(0, 7));
            format.numberFormat = input.ConsumeRandomLengthString(300);
            format.left.line = static_cast<CellFormat::Line>(input.ConsumeIntegralInRange(0, 8));
            if (sheets > 0) {
                const auto index = book.internFormat(format);
                const int row = input.ConsumeIntegralInRange(0, 300);
                const int col = input.ConsumeIntegralInRange(0, 20);
                Worksheet::Cell& cell = book.sheet(sheets - 1).cellAt(row, col);
                cell.format = index.value_or(0);
                if (cell.kind == Worksheet::Cell::Kind::Empty) {
                    cell.kind = Worksheet::Cell::Kind::Blank;
                    cells[{sheets - 1, {row, col}}] = {Worksheet::Cell::Kind::Blank};
                }
            }
            break;
        }
        case 3:
        case 4:
        case 5: { // a text cell: UTF-16 units, sometimes long
            if (sheets == 0)
                break;
            const std::size_t length = input.ConsumeBool() ? input.ConsumeIntegralInRange(0, 40)
                                                           : input.ConsumeIntegralInRange(0, 40000);
            std::vector<std::uint16_t> units;
            for (std::size_t i = 0; i < length && input.remaining_bytes() > 0; ++i)
                units.push_back(input.ConsumeIntegral<std::uint16_t>());
            if (units.size() < length && !units.empty())
                units.resize(length, units.back()); // long texts without long inputs
            const int row = input.ConsumeIntegralInRange(0, Worksheet::MaxRows - 1);
            const int col = input.ConsumeIntegralInRange(0, Worksheet::MaxColumns - 1);
            Worksheet::Cell& cell = book.sheet(sheets - 1).cellAt(row, col);
            cell.kind = Worksheet::Cell::Kind::Text;
            cell.text = book.internString(utf8Of(units));
            cells[{sheets - 1, {row, col}}] = {Worksheet::Cell::Kind::Text};
            break;
        }
        case 6:
        case 7:
        case 8: { // a number cell
            if (sheets == 0)
                break;
            const double number = numberFrom(input);
            const int row = input.ConsumeIntegralInRange(0, 2000);
            const int col = input.ConsumeIntegralInRange(0, 40);
            Worksheet::Cell& cell = book.sheet(sheets - 1).cellAt(row, col);
            cell.kind = Worksheet::Cell::Kind::Number;
            cell.number = number;
            cells[{sheets - 1, {row, col}}] = {Worksheet::Cell::Kind::Number, number};
            break;
        }
        case 9: // a save in the middle: the kept writer encodes what it has so far
            if (sheets > 0) {
                (void)kept.workbookPieces(book);
                written = true;
            }
            break;
        }
    }
    if (sheets == 0)
        return 0;

    const std::vector<std::uint8_t> stream = Biff8Writer().workbookStream(book);
    if (written) {
        std::vector<std::uint8_t> joined;
        for (const auto piece : kept.workbookPieces(book))
            joined.insert(joined.end(), piece.begin(), piece.end());
        check(joined == stream);
    }
    const std::vector<std::uint8_t> file = CompoundFile::withStream("Workbook", stream);
    check(readBack(file) == stream);
    walk(stream, sheets, cells);
    return 0;
}

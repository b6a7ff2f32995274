// The Excel 97-2003 records where their bytes matter, and the compound file around them.
#include "report/Biff8Writer.h"
#include "report/CompoundFile.h"
#include "report/Workbook.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <functional>
#include <limits>

using namespace climate::report;

namespace {

struct Record {
    std::uint16_t type = 0;
    std::size_t offset = 0;
    std::vector<std::uint8_t> data;
};

// Splits a stream into its records; an incomplete record at the end fails the test.
std::vector<Record> recordsOf(const std::vector<std::uint8_t>& stream) {
    std::vector<Record> records;
    for (std::size_t at = 0; at < stream.size();) {
        if (at + 4 > stream.size()) {
            ADD_FAILURE() << "truncated record header at " << at;
            break;
        }
        const std::size_t size = stream[at + 2] | stream[at + 3] << 8;
        if (at + 4 + size > stream.size()) {
            ADD_FAILURE() << "truncated record at " << at;
            break;
        }
        records.push_back({static_cast<std::uint16_t>(stream[at] | stream[at + 1] << 8),
                           at,
                           {stream.begin() + at + 4, stream.begin() + at + 4 + size}});
        at += 4 + size;
    }
    return records;
}

std::vector<Record> recordsOfType(const std::vector<Record>& records, std::uint16_t type) {
    std::vector<Record> found;
    for (const auto& record : records) {
        if (record.type == type) {
            found.push_back(record);
        }
    }
    return found;
}

std::uint32_t le32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

CellFormat borderedCentred() {
    CellFormat format;
    format.horizontal = CellFormat::Horizontal::Centre;
    format.vertical = CellFormat::Vertical::Centre;
    format.numberFormat = "0";
    for (auto* edge : {&format.left, &format.right, &format.top, &format.bottom}) {
        edge->line = CellFormat::Line::Thin;
    }
    return format;
}

// A reader's view of a packed RK number, as the file format defines it.
double unpackRk(std::uint32_t rk) {
    double value = (rk & 0x2) ? static_cast<double>(static_cast<std::int32_t>(rk) >> 2)
                              : std::bit_cast<double>(static_cast<std::uint64_t>(rk & ~3u) << 32);
    return (rk & 0x1) ? value / 100 : value;
}

} // namespace

TEST(Biff8Writer, RkNumbersHoldExactlyTheValuesTheyCanHold) {
    struct Case {
        double value;
        std::optional<std::uint32_t> packed;
    };
    const Case cases[] = {
        {0, 0x2},
        {1, 0x6},
        {-1, 0xFFFFFFFE},
        {1500, 1500u << 2 | 2},
        {536870911, 0x7FFFFFFEu | 2}, // the largest integer of 30 bits
        {-536870912, 0x80000002u},
        {536870912, 0x41C00000}, // 2^29: too wide for the integer form, exact as a short double
        {-12.5, static_cast<std::uint32_t>(-1250) << 2 | 3},
        {23.4, 2340u << 2 | 3},
        {0.01, 1u << 2 | 3},
        {0.5, 50u << 2 | 3},
        {1.0 / 3, std::nullopt},
        {1e-7, std::nullopt},
        {4294967295.0, std::nullopt},
        {std::numeric_limits<double>::quiet_NaN(), std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const auto packed = Biff8Writer::rkNumber(c.value);
        EXPECT_EQ(packed, c.packed);
        if (packed) {
            EXPECT_EQ(unpackRk(*packed), c.value);
        }
    }
}

TEST(Biff8Writer, ColumnWidthsCountDigitsWithTheCellPadding) {
    // A width of n characters is n digits of 7 pixels plus 5 pixels of padding, in 1/256 digits.
    const std::pair<double, int> cases[] = {{15, 4022}, {6, 1718}, {8.43, 2340}, {0, 0}};
    for (const auto& [characters, units] : cases) {
        EXPECT_EQ(Biff8Writer::columnWidthUnits(characters), units) << characters;
    }
}

TEST(Biff8Writer, BorderedCentredCellHasItsOwnXfRecord) {
    Workbook book;
    Worksheet& sheet = book.addWorksheet();
    auto& cell = sheet.cellAt(0, 0);
    cell.kind = Worksheet::Cell::Kind::Number;
    cell.number = 1;
    cell.format = *book.internFormat(borderedCentred());
    sheet.column(0).width = 15;
    sheet.column(0).format = cell.format;

    const auto records = recordsOf(Biff8Writer().workbookStream(book));
    const auto xfs = recordsOfType(records, 0x00E0);
    ASSERT_EQ(xfs.size(), 17u); // 15 style XFs, the default cell XF, this one
    const std::vector<std::uint8_t> expected{
        0x00, 0x00,             // font 0
        0x01, 0x00,             // number format "0"
        0x01, 0x00,             // locked cell XF, parent style "Normal"
        0x12,                   // centred both ways
        0x00, 0x00, 0xFC,       // no rotation or indent; sets all its attribute groups
        0x11, 0x11, 0x40, 0x20, // thin left, right, top, bottom; automatic left and right colour
        0x40, 0x20, 0x00, 0x00, // automatic top and bottom colour, no pattern
        0xC0, 0x20,             // automatic pattern colours
    };
    EXPECT_EQ(xfs[16].data, expected);
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(xfs[i].data[4] & 0x04, 0x04) << "XF " << i << " must be a style XF";
    }
    EXPECT_EQ(xfs[15].data[4] & 0x04, 0) << "XF 15 is the default cell XF";

    const auto rk = recordsOfType(records, 0x027E);
    ASSERT_EQ(rk.size(), 1u);
    EXPECT_EQ(rk[0].data, (std::vector<std::uint8_t>{0, 0, 0, 0, 16, 0, 0x06, 0, 0, 0}));

    const auto columns = recordsOfType(records, 0x007D);
    ASSERT_EQ(columns.size(), 1u);
    EXPECT_EQ(columns[0].data,
              (std::vector<std::uint8_t>{0, 0, 0, 0, 0xB6, 0x0F, 16, 0, 0, 0, 0, 0}));
}

TEST(Biff8Writer, SheetsAreFoundWhereTheWorkbookSaysAndTheLastAddedIsActive) {
    Workbook book;
    for (int s = 0; s < 3; ++s) {
        auto& cell = book.addWorksheet().cellAt(s, s);
        cell.kind = Worksheet::Cell::Kind::Text;
        cell.text = book.internString("sheet " + std::to_string(s + 1));
    }
    const auto stream = Biff8Writer().workbookStream(book);
    const auto records = recordsOf(stream);

    const auto sheets = recordsOfType(records, 0x0085);
    ASSERT_EQ(sheets.size(), 3u);
    for (int s = 0; s < 3; ++s) {
        const std::uint32_t position = le32(sheets[s].data, 0);
        ASSERT_LT(position + 8, stream.size());
        EXPECT_EQ(stream[position] | stream[position + 1] << 8, 0x0809) << "BOF of sheet " << s;
        EXPECT_EQ(stream[position + 6] | stream[position + 7] << 8, 0x0010) << "worksheet " << s;
        const std::string name(sheets[s].data.begin() + 8, sheets[s].data.end());
        EXPECT_EQ(name, "Sheet" + std::to_string(s + 1));
    }
    const auto window = recordsOfType(records, 0x003D);
    ASSERT_EQ(window.size(), 1u);
    EXPECT_EQ(window[0].data[10], 2) << "the active sheet";
    const auto sheetWindows = recordsOfType(records, 0x023E);
    ASSERT_EQ(sheetWindows.size(), 3u);
    for (int s = 0; s < 3; ++s) {
        EXPECT_EQ((sheetWindows[s].data[1] & 0x02) != 0, s == 2) << "only the active is selected";
    }
}

TEST(Biff8Writer, SharedStringsKeepEveryRecordWithinTheFormatsLimit) {
    Workbook book;
    Worksheet& sheet = book.addWorksheet();
    for (int r = 0; r < 3000; ++r) {
        auto& cell = sheet.cellAt(r, 0);
        cell.kind = Worksheet::Cell::Kind::Text;
        cell.text = book.internString("text number " + std::to_string(100000 + r));
    }
    const auto records = recordsOf(Biff8Writer().workbookStream(book));
    int continues = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        EXPECT_LE(records[i].data.size(), 8224u);
        if (records[i].type == 0x003C) {
            ++continues;
            EXPECT_TRUE(records[i - 1].type == 0x00FC || records[i - 1].type == 0x003C);
        }
    }
    EXPECT_GT(continues, 5);
    const auto sst = recordsOfType(records, 0x00FC);
    ASSERT_EQ(sst.size(), 1u);
    EXPECT_EQ(le32(sst[0].data, 0), 3000u); // cells that use a string
    EXPECT_EQ(le32(sst[0].data, 4), 3000u); // distinct strings
}

TEST(Biff8Writer, AWriterThatKeepsWhatItEncodedWritesWhatAFreshOneWrites) {
    // A writer re-encodes only the blocks of 32 rows and the texts that changed since its last
    // call; whatever changed, the result must be the workbook as it is now.
    Workbook book;
    auto setText = [&](Worksheet& sheet, int row, int column, const std::string& text) {
        auto& cell = sheet.cellAt(row, column);
        cell.kind = Worksheet::Cell::Kind::Text;
        cell.text = book.internString(text);
    };
    auto setNumber = [&](Worksheet& sheet, int row, int column, double value) {
        auto& cell = sheet.cellAt(row, column);
        cell.kind = Worksheet::Cell::Kind::Number;
        cell.number = value;
    };
    Worksheet& first = book.addWorksheet();
    for (int r = 0; r < 100; ++r) {
        setNumber(first, r, 0, r);
        setText(first, r, 1, "row " + std::to_string(r));
    }
    Biff8Writer kept;
    EXPECT_EQ(kept.workbookStream(book), Biff8Writer().workbookStream(book));

    const std::vector<std::pair<const char*, std::function<void()>>> changes{
        {"a row appended", [&] { setNumber(first, 100, 0, 100); }},
        {"a text appended", [&] { setText(first, 101, 1, std::string(9000, 'y')); }},
        {"an early cell changed", [&] { setNumber(first, 3, 0, -7.25); }},
        {"an early cell reformatted",
         [&] {
             CellFormat format;
             format.bottom.line = CellFormat::Line::Thin;
             first.mutableRow(5)[0].format = *book.internFormat(format);
         }},
        {"a column widened", [&] { first.column(4).width = 20; }},
        {"a sheet added", [&] { setText(book.addWorksheet(), 0, 0, "second"); }},
        {"a text shared", [&] { setText(book.sheet(1), 1, 0, "row 7"); }},
    };
    for (const auto& [what, change] : changes) {
        change();
        EXPECT_EQ(kept.workbookStream(book), Biff8Writer().workbookStream(book)) << what;
    }

    Workbook other; // a different workbook through the same writer
    other.addWorksheet().cellAt(0, 0).kind = Worksheet::Cell::Kind::Blank;
    EXPECT_EQ(kept.workbookStream(other), Biff8Writer().workbookStream(other));
}

TEST(Biff8Writer, CompoundFileCarriesTheStreamUnchanged) {
    // Below 4096 bytes a stream lives in the container's short-sector area, above it in its own
    // sectors: both must come back whole.
    for (const std::size_t size : {std::size_t{1500}, std::size_t{300000}}) {
        std::vector<std::uint8_t> stream(size);
        for (std::size_t i = 0; i < size; ++i) {
            stream[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
        }
        const auto file = CompoundFile::withStream("Workbook", stream);
        ASSERT_GE(file.size(), 512u);
        EXPECT_EQ(std::vector<std::uint8_t>(file.begin(), file.begin() + 8),
                  (std::vector<std::uint8_t>{0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1}));

        EXPECT_EQ(CompoundFile::readStream(file, "Workbook"), stream);
    }
}

// The test log read back by its own reader: a workbook the log wrote (over several sheets, with
// the times it stamped) gives the same rows; a file that is not such a workbook, or is truncated
// or damaged, gives one WorkbookReadError naming the problem.
#include "report/TestLogFile.h"
#include "TemporaryFolder.h"
#include "report/Biff8Writer.h"
#include "report/CompoundFile.h"
#include "report/TestLog.h"
#include "report/TestLogColumns.h"
#include "report/Workbook.h"
#include "report/WorkbookReader.h"
#include "support/RecordingPresenter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace climate::link;
using climate::realtime::TestLogRow;
using namespace climate::report;

namespace {

std::vector<std::uint8_t> fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

TestLogRow rowNumber(int n) {
    return TestLogRow{double(1000 + n), 1100, 2400, 2500, 20.0 + n * 0.1, -5.5, 3100.0 + n, 4.4};
}

// Writes `rows` records with the log itself, `perSheet` records a sheet, a second apart.
struct WrittenLog {
    TemporaryFolder folder;
    RecordingPresenter presenter;
    std::filesystem::path path;
    std::vector<LocalDateTime> times;

    WrittenLog(int rows, int perSheet) {
        int second = 0;
        TestLogOptions options;
        options.baseFolder = folder.path();
        options.rowsPerSheet = perSheet + 3; // the heading takes rows 1 ... 3
        options.clock = [&second] {
            const int s = second++;
            return LocalDateTime{2026, 12, 11, 9, s / 60 % 60, s % 60};
        };
        TestLog log(presenter, options);
        for (int n = 0; n < rows; ++n) {
            log.WriteLogRecord(rowNumber(n));
        }
        EXPECT_TRUE(log.flush());
        path = log.state().LogFilePath;
        // The first tick names the file; each record takes the next.
        for (int n = 0; n < rows; ++n) {
            times.push_back({2026, 12, 11, 9, (n + 1) / 60 % 60, (n + 1) % 60});
        }
    }
};

TEST(TestLogFile, RoundTripOverSeveralSheets) {
    WrittenLog written(25, 10);
    ASSERT_TRUE(written.presenter.shown().empty()) << written.presenter.describe();
    const TestLogContents read = readTestLog(written.path);
    EXPECT_EQ(read.sheets, 3);
    EXPECT_EQ(read.skippedRows, 0);
    ASSERT_EQ(read.records.size(), 25u);
    for (int n = 0; n < 25; ++n) {
        const TestLogRecord& r = read.records[static_cast<std::size_t>(n)];
        const TestLogRow w = rowNumber(n);
        EXPECT_EQ(r.time, written.times[static_cast<std::size_t>(n)]) << n;
        EXPECT_EQ(r.values, w.values) << n;
    }
}

// A sheet filled to its last row, as the log leaves it before it starts the next: read whole.
TEST(TestLogFile, AFullSheetIsReadToItsLastRow) {
    Workbook book;
    Worksheet& sheet = book.addWorksheet();
    const auto text = [&](int row, int column, const std::string& value) {
        Worksheet::Cell& cell = sheet.cellAt(row, column);
        cell.kind = Worksheet::Cell::Kind::Text;
        cell.text = book.internString(value);
    };
    const auto number = [&](int row, int column, double value) {
        Worksheet::Cell& cell = sheet.cellAt(row, column);
        cell.kind = Worksheet::Cell::Kind::Number;
        cell.number = value;
    };
    for (std::size_t c = 0; c < TestLogColumns.size(); ++c) {
        text(TestLogHeadingRow - 1, static_cast<int>(c), TestLogColumns[c].header);
    }
    for (int row = TestLogFirstRecordRow - 1; row < Worksheet::MaxRows; ++row) {
        const int n = row - (TestLogFirstRecordRow - 1);
        const LocalDateTime t{2026, 12, 11 + n / 86400, n / 3600 % 24, n / 60 % 60, n % 60};
        number(row, 0, n + 1);
        text(row, 1, t.compactText());
        for (int c = 2; c <= 10; ++c) {
            number(row, c, c == 6 ? n * 0.1 : n + c);
        }
    }
    TemporaryFolder folder;
    const auto path = folder.path() / "full.xls";
    writeBytes(path, CompoundFile::withStream("Workbook", Biff8Writer().workbookStream(book)));

    const TestLogContents read = readTestLog(path);
    ASSERT_EQ(read.records.size(), std::size_t{Worksheet::MaxRows - 3});
    const TestLogRecord& last = read.records.back();
    const int n = Worksheet::MaxRows - 4;
    EXPECT_EQ(last.time, (LocalDateTime{2026, 12, 11, n / 3600 % 24, n / 60 % 60, n % 60}));
    EXPECT_EQ(last.values[0], n + 2);   // column C
    EXPECT_EQ(last.values[4], n * 0.1); // column G, Temperature1
    EXPECT_EQ(last.values[7], n + 10);  // column K, the heater current
}

// A workbook of our writer whose sheet does not carry the log's heading.
std::vector<std::uint8_t> foreignWorkbook() {
    Workbook book;
    Worksheet& sheet = book.addWorksheet();
    sheet.cellAt(2, 0).kind = Worksheet::Cell::Kind::Text;
    sheet.cellAt(2, 0).text = book.internString("Invoice");
    sheet.cellAt(3, 1).kind = Worksheet::Cell::Kind::Number;
    sheet.cellAt(3, 1).number = 12;
    return CompoundFile::withStream("Workbook", Biff8Writer().workbookStream(book));
}

TEST(TestLogFile, DamagedFilesGiveOneMessageEach) {
    WrittenLog written(40, 100);
    const std::vector<std::uint8_t> good = fileBytes(written.path);
    const std::vector<std::uint8_t> stream = WorkbookReader::workbookStream(written.path);
    ASSERT_GT(stream.size(), 1000u);

    // The stream with the record at `offset` changed by `edit`.
    const auto streamFile = [](std::vector<std::uint8_t> bytes) {
        return CompoundFile::withStream("Workbook", bytes);
    };
    const auto findRecord = [&](std::uint16_t type) {
        for (std::size_t at = 0; at + 4 <= stream.size();) {
            const auto t = static_cast<std::uint16_t>(stream[at] | stream[at + 1] << 8);
            if (t == type) {
                return at;
            }
            at += 4 + static_cast<std::size_t>(stream[at + 2] | stream[at + 3] << 8);
        }
        return stream.size();
    };
    const auto patched = [&](std::size_t at, std::vector<std::uint8_t> bytes) {
        std::vector<std::uint8_t> s = stream;
        std::copy(bytes.begin(), bytes.end(), s.begin() + static_cast<std::ptrdiff_t>(at));
        return streamFile(s);
    };
    const std::size_t sst = findRecord(0x00FC);
    const std::size_t label = findRecord(0x00FD);
    const std::size_t lastEof = stream.size() - 4;
    ASSERT_LT(sst, stream.size());
    ASSERT_LT(label, stream.size());

    const struct {
        const char* name;
        std::vector<std::uint8_t> file;
        const char* message;
    } cases[] = {
        {"empty file", {}, "is empty"},
        {"text file",
         {'N', 'u', 'm', 'b', 'e', 'r', ',', 'T', 'i', 'm', 'e', '\n'},
         "no compound file structure"},
        {"truncated in the middle",
         {good.begin(), good.begin() + static_cast<long>(good.size() / 2)},
         ""},
        {"no workbook stream", CompoundFile::withStream("Book", stream), "no workbook stream"},
        {"stream cut inside a header", streamFile({stream.begin(), stream.end() - 3}),
         "inside a record header"},
        {"stream cut inside a record", streamFile({stream.begin(), stream.end() - 6}),
         "runs past the end"},
        {"last sheet without its end",
         streamFile({stream.begin(), stream.begin() + static_cast<long>(lastEof)}),
         "ends inside a sheet"},
        {"not starting with the globals", patched(0, {0x0A, 0x00}), "does not start"},
        {"not BIFF8", patched(4, {0x00, 0x05}), "not in the Excel 97-2003 (BIFF8)"},
        {"string count beyond the table", patched(sst + 8, {0xFF, 0xFF, 0xFF, 0x7F}),
         "counts more strings"},
        {"cell naming a missing text", patched(label + 10, {0xFF, 0xFF, 0x00, 0x00}),
         "names a text"},
        {"cell beyond the sheet", patched(label + 6, {0x00, 0x01}), "outside the sheet"},
        {"a workbook that is no test log", foreignWorkbook(), "not a test log of this tool"},
    };
    TemporaryFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto path = folder.path() / "damaged.xls";
        writeBytes(path, c.file);
        try {
            (void)readTestLog(path);
            ADD_FAILURE() << "read without complaint";
        } catch (const WorkbookReadError& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find(c.message), std::string::npos) << message;
            EXPECT_EQ(message.find('\n'), std::string::npos) << "one sentence: " << message;
            EXPECT_FALSE(message.empty());
        }
    }
    EXPECT_THROW((void)readTestLog(folder.path() / "missing.xls"), WorkbookReadError);
}

} // namespace

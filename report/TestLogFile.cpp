#include "TestLogFile.h"

#include "TestLogColumns.h"
#include "WorkbookReader.h"
#include "realtime/LiveChannels.h"

#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace climate::report {

namespace {

constexpr int TimeColumn = 1;
constexpr int HeadingRow = TestLogHeadingRow - 1;
constexpr int FirstRecordRow = TestLogFirstRecordRow - 1;

bool validTime(const LocalDateTime& t) {
    return t.year >= 1900 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= 31 && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 &&
           t.second >= 0 && t.second <= 60;
}

// "YYYYMMDDHHNNSS", as the log writes it.
bool parseCompactTime(std::string_view text, LocalDateTime& time) {
    if (text.size() != 14) {
        return false;
    }
    int parts[6] = {};
    const int widths[6] = {4, 2, 2, 2, 2, 2};
    std::size_t at = 0;
    for (int p = 0; p < 6; ++p) {
        for (int k = 0; k < widths[p]; ++k, ++at) {
            if (text[at] < '0' || text[at] > '9') {
                return false;
            }
            parts[p] = parts[p] * 10 + (text[at] - '0');
        }
    }
    time = {parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]};
    return validTime(time);
}

struct PendingRow {
    bool hasTime = false;
    bool used = false;
    LocalDateTime time;
    std::array<double, TestLogRecord::ValueCount> values;
    PendingRow() { values.fill(std::numeric_limits<double>::quiet_NaN()); }
};

class SheetCollector {
public:
    explicit SheetCollector(TestLogContents& out) : m_out(out) {}

    void take(const ReadCell& cell) {
        if (cell.sheet != m_sheet) {
            finishSheet();
            m_sheet = cell.sheet;
        }
        if (cell.row == HeadingRow) {
            if (cell.column < static_cast<int>(TestLogColumns.size()) &&
                cell.kind == ReadCell::Kind::Text &&
                cell.text == TestLogColumns[static_cast<std::size_t>(cell.column)].header) {
                m_headings |= 1u << cell.column;
            }
            return;
        }
        if (cell.row < FirstRecordRow) {
            return;
        }
        const auto index = static_cast<std::size_t>(cell.row - FirstRecordRow);
        if (m_rows.size() <= index) {
            m_rows.resize(index + 1);
        }
        PendingRow& row = m_rows[index];
        row.used = true;
        if (cell.column == TimeColumn) {
            if (cell.kind == ReadCell::Kind::Text) {
                row.hasTime = parseCompactTime(cell.text, row.time);
            } else if (cell.kind == ReadCell::Kind::Number && cell.number >= 0 &&
                       cell.number < 1e14 && cell.number == std::trunc(cell.number)) {
                // A spreadsheet that saved the log again may have made the time a number.
                const auto digits = std::to_string(static_cast<long long>(cell.number));
                row.hasTime = parseCompactTime(digits, row.time);
            }
            return;
        }
        // The columns of TestLogRecord::values are those of the logged channels (1-based there).
        const auto channels = realtime::testLogChannels();
        for (std::size_t v = 0; v < channels.size(); ++v) {
            if (channels[v]->logColumn - 1 == cell.column && cell.kind == ReadCell::Kind::Number &&
                std::isfinite(cell.number)) {
                row.values[v] = cell.number;
            }
        }
    }

    void finishSheet() {
        if (m_sheet < 0) {
            return;
        }
        constexpr unsigned all = (1u << TestLogColumns.size()) - 1;
        if (m_headings != all) {
            throw WorkbookReadError("Sheet " + std::to_string(m_sheet + 1) +
                                    " has no test-log heading in row 3: the workbook is not a "
                                    "test log of this tool.");
        }
        for (const PendingRow& row : m_rows) {
            if (!row.used) {
                continue;
            }
            if (!row.hasTime) {
                ++m_out.skippedRows;
                continue;
            }
            m_out.records.push_back({row.time, row.values});
        }
        m_rows.clear();
        m_headings = 0;
        m_sheet = -1;
    }

private:
    TestLogContents& m_out;
    int m_sheet = -1;
    unsigned m_headings = 0;
    std::vector<PendingRow> m_rows;
};

} // namespace

TestLogContents testLogOfStream(std::span<const std::uint8_t> stream) {
    TestLogContents contents;
    SheetCollector collector(contents);
    contents.sheets =
        WorkbookReader::readCells(stream, [&](const ReadCell& cell) { collector.take(cell); });
    collector.finishSheet();
    if (contents.sheets == 0) {
        throw WorkbookReadError("The workbook has no sheets: it is not a test log of this tool.");
    }
    return contents;
}

TestLogContents readTestLog(const std::filesystem::path& path) {
    return testLogOfStream(WorkbookReader::workbookStream(path));
}

} // namespace climate::report

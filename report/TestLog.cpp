#include "TestLog.h"

#include "InProcessSpreadsheetApplication.h"
#include "SpreadsheetApplication.h"
#include "SpreadsheetConstants.h"
#include "TestLogColumns.h"
#include "WorkbookStore.h"
#include "link/UserMessage.h"
#include "realtime/LiveChannels.h"

#include <algorithm>
#include <array>
#include <system_error>

namespace climate::report {

using namespace climate::link;
using realtime::TestLogRow;

namespace {

using namespace SpreadsheetConstants;
constexpr int VerticalAlignmentOfColumns = xlVAlignCenterOlder;
constexpr int HeaderRow = TestLogHeadingRow;
constexpr int FirstRecordRow = TestLogFirstRecordRow;
constexpr const auto& Columns = TestLogColumns;
constexpr int TimeColumn = 2;
constexpr int UnusedColumn = 10; // "NA.": always 0

constexpr const char* ExcelNotFoundText = "Start Excel Error, Do not found Excel.";
constexpr const char* ExcelNotFoundCaption = "Waning";
constexpr const char* NoWorkbookText = "报表模板文件不存在,无法打开！";
constexpr const char* CannotStartText = "无法启动Excel";
constexpr const char* WriteFailedText = "操作Excel表格失败！";
constexpr const char* ErrorCaption = "错误";

// Every cell of row A<row>:K<row> gets a thin automatic-colour line on each edge.
void borderRow(xl::Worksheet& sheet, int row) {
    const std::string number = std::to_string(row);
    auto borders = sheet.Range("A" + number + ":K" + number).Borders();
    borders.LineStyle(xlContinuous);
    borders.Weight(xlThin);
    borders.ColorIndex(xlColorIndexAutomatic);
}

// The row's values in their columns, left to right, with the unused column's 0 in its place.
void writeValues(xl::Worksheet& sheet, int r, const TestLogRow& row) {
    bool unusedWritten = false;
    const auto channels = realtime::testLogChannels();
    for (std::size_t i = 0; i < channels.size(); ++i) {
        const realtime::LiveChannel& channel = *channels[i];
        if (!unusedWritten && channel.logColumn > UnusedColumn) {
            sheet.Cells(r, UnusedColumn).Value(std::int32_t{0});
            unusedWritten = true;
        }
        const double value = row.values[i];
        auto cell = sheet.Cells(r, channel.logColumn);
        switch (channel.logCell) {
        case realtime::LogCell::Whole:
            cell.Value(static_cast<std::uint32_t>(value));
            break;
        case realtime::LogCell::RealNotLess:
            cell.Value(value < 0 ? 0.0 : value);
            break;
        case realtime::LogCell::Real:
        case realtime::LogCell::None:
            cell.Value(value);
            break;
        }
    }
    if (!unusedWritten) {
        sheet.Cells(r, UnusedColumn).Value(std::int32_t{0});
    }
}

} // namespace

TestLog::TestLog(MessagePresenter& presenter, TestLogOptions options)
    : m_presenter(presenter), m_options(std::move(options)) {
    m_options.rowsPerSheet = std::clamp(m_options.rowsPerSheet, FirstRecordRow, 65536);
    if (!m_options.startApplication) {
        m_store = std::make_unique<WorkbookStore>(m_options.commit);
    }
    if (m_store && m_options.post) {
        m_store->setSaveFailureListener(
            [post = m_options.post,
             self = std::weak_ptr<TestLog*>(m_self)](const std::string& path) {
                post([self, path] {
                    if (const auto log = self.lock()) {
                        (*log)->onBackgroundSaveFailure(path);
                    }
                });
            });
    }
}

TestLog::~TestLog() = default;

void TestLog::WriteLogRecord(const TestLogRow& row) {
    if (!m_state.LogWorkbookCreated) {
        CreateLogWorkbook(); // throws when the workbook cannot be created; tried again next time
        m_state.LogWorkbookCreated = true;
    }

    std::error_code error;
    if (m_state.LogFilePath.empty() || !std::filesystem::exists(m_state.LogFilePath, error)) {
        showError(NoWorkbookText, ErrorCaption); // a deleted file is never created again
        return;
    }

    std::unique_ptr<SpreadsheetApplication> app;
    try {
        app = startApplication();
    } catch (const AutomationError&) {
        showError(CannotStartText, ErrorCaption);
        return;
    }

    bool opened = false;
    try {
        app->Visible(false);
        app->Workbooks().Open(m_state.LogFilePath);
        opened = true;
        xl::Workbook book = app->ActiveWorkbook();
        if (m_state.LogRow > m_options.rowsPerSheet) {
            // The sheet is full: the log goes on in a new sheet with the same heading.
            book.Worksheets().Add();
            writeSheetHeader(book.ActiveSheet());
            ++m_state.LogSheet;
            m_state.LogRow = FirstRecordRow;
        }

        xl::Worksheet sheet = book.ActiveSheet();
        const int r = m_state.LogRow;
        sheet.Cells(r, 1).Value(m_state.LogRecordNumber);
        sheet.Cells(r, 2).Value(now().compactText());
        writeValues(sheet, r, row);
        borderRow(sheet, r);
        ++m_state.LogRow;
        ++m_state.LogRecordNumber;

        // From here the row is in the workbook held in memory: if this save fails, the next
        // one that succeeds writes it.
        m_state.LogUnsavedRows = true;
        book.Save();
        m_state.LogUnsavedRows = false;
        book.Close();
        opened = false;
        app->Quit();
    } catch (const AutomationError&) {
        showError(WriteFailedText, ErrorCaption);
        try {
            if (opened) {
                app->ActiveWorkbook().Close();
            }
        } catch (const AutomationError&) {
        }
        try {
            app->Quit();
        } catch (const AutomationError&) {
        }
    }
}

void TestLog::CreateLogWorkbook() {
    std::unique_ptr<SpreadsheetApplication> app;
    try {
        app = startApplication();
    } catch (const AutomationError&) {
        showError(ExcelNotFoundText, ExcelNotFoundCaption);
        return;
    }

    // Any failure from here on is thrown to the caller.
    const LocalDateTime created = now();
    app->Visible(false);
    app->Workbooks().Add(1);
    m_state.LogDateText = created.dateText();
    writeSheetHeader(app->ActiveSheet());
    m_state.LogRow = FirstRecordRow;
    m_state.LogSheet = 1;
    m_state.LogRecordNumber = 1;

    const std::filesystem::path base =
        m_options.baseFolder.empty() ? std::filesystem::current_path() : m_options.baseFolder;
    const std::filesystem::path folder = base / "TestReportDate";
    std::error_code error;
    if (!std::filesystem::exists(folder, error)) {
        std::filesystem::create_directory(folder, error); // a failure surfaces at SaveAs
    }

    m_state.LogFilePath = (folder / ("TestData" + created.compactText() + ".xls")).string();
    app->ActiveWorkbook().SaveAs(m_state.LogFilePath);
    app->Quit();
}

// B1, E2, the headers in row 3, the column formats and the header row's borders.
void TestLog::writeSheetHeader(xl::Worksheet sheet) {
    sheet.Cells(1, 2).Value(std::string("Test Data"));
    sheet.Cells(2, 5).Value(m_state.LogDateText);
    for (int c = 1; c <= static_cast<int>(Columns.size()); ++c) {
        sheet.Cells(HeaderRow, c).Value(std::string(Columns[c - 1].header));
        auto column = sheet.Columns(c);
        column.ColumnWidth(Columns[c - 1].width);
        column.HorizontalAlignment(xlCenter);
        if (c == TimeColumn) {
            sheet.Cells(HeaderRow, c).VerticalAlignment(xlCenter);
            column.NumberFormat("0");
        } else {
            column.VerticalAlignment(VerticalAlignmentOfColumns);
        }
    }
    borderRow(sheet, HeaderRow);
}

bool TestLog::shutdown() {
    if (!m_state.LogUnsavedRows) {
        if (flush()) {
            return true;
        }
        // The last save did not reach the disk: its rows are only in memory. One more try.
        m_state.LogUnsavedRows = true;
        (void)m_store->takeSaveFailure(m_state.LogFilePath);
    }
    const auto unwritten = [this] {
        if (m_store) {
            (void)m_store->takeSaveFailure(m_state.LogFilePath); // reported by the caller
        }
        return false;
    };
    std::error_code error;
    if (!std::filesystem::exists(m_state.LogFilePath, error)) {
        return unwritten();
    }
    try {
        auto app = startApplication();
        app->Visible(false);
        app->Workbooks().Open(m_state.LogFilePath);
        app->ActiveWorkbook().Save();
        m_state.LogUnsavedRows = false;
        app->ActiveWorkbook().Close();
        app->Quit();
    } catch (const AutomationError&) {
    }
    if (!flush()) {
        m_state.LogUnsavedRows = true;
        return unwritten();
    }
    return !m_state.LogUnsavedRows || unwritten();
}

namespace {

// The log's error box; boxes of the same repeat key are not stacked.
UserMessage errorMessage(const char* text, const char* caption) {
    UserMessage message;
    message.text = text;
    message.caption = caption;
    message.icon = UserMessage::Icon::Error;
    message.repeatKey = TestLog::RepeatKey;
    return message;
}

} // namespace

void TestLog::showShutdownFailure(std::function<void()> onClosed) {
    UserMessage message = errorMessage(WriteFailedText, ErrorCaption);
    message.repeatKey.clear(); // the last box before the end: never folded into an earlier one
    m_presenter.show(message, std::move(onClosed));
}

void TestLog::onBackgroundSaveFailure(const std::string& path) {
    // Taken here, so the next record does not report it again; already taken when the next
    // record or the shutdown came first and reported it.
    if (path != m_state.LogFilePath || !m_store->takeSaveFailure(path)) {
        return;
    }
    m_state.LogUnsavedRows = true; // the file holds an older save; the next one writes every row
    showError(WriteFailedText, ErrorCaption);
}

bool TestLog::flush() {
    if (!m_store || m_state.LogFilePath.empty()) {
        return true;
    }
    return m_store->waitForSaves(m_state.LogFilePath);
}

std::unique_ptr<SpreadsheetApplication> TestLog::startApplication() {
    if (m_options.startApplication) {
        return m_options.startApplication();
    }
    return std::make_unique<InProcessSpreadsheetApplication>(*m_store);
}

LocalDateTime TestLog::now() const {
    return m_options.clock ? m_options.clock() : LocalDateTime::now();
}

void TestLog::showError(const char* text, const char* caption) {
    m_presenter.show(errorMessage(text, caption));
}

} // namespace climate::report

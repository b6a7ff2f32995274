#pragma once

#include "AtomicFile.h"
#include "LocalDateTime.h"
#include "realtime/TestLogSink.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace climate::link {
class MessagePresenter;
} // namespace climate::link

namespace climate::report {

class SpreadsheetApplication;
class WorkbookStore;

namespace xl {
class Worksheet;
}

// Where the test log stands in this run.
struct TestLogState {
    bool LogWorkbookCreated = false;  // set once CreateLogWorkbook has returned, even after failing
    std::string LogFilePath;          // this run's workbook; empty until it is created
    int LogRow = 0;                   // worksheet row (1-based) the next record goes to
    int LogSheet = 0;                 // the worksheet (1-based) LogRow counts on
    std::int32_t LogRecordNumber = 0; // "Number" of the next record; counts on across sheets
    std::string LogDateText;          // E2 of every sheet: the day the workbook was created
    bool LogUnsavedRows = false;      // rows are held in memory that no save has written yet
};

struct TestLogOptions {
    using ApplicationStarter = std::function<std::unique_ptr<SpreadsheetApplication>()>;
    // Runs a job later on the thread that writes the records (the window's); called from the
    // thread that completes the saves. The window passes one that queues the job to itself.
    using Poster = std::function<void(std::function<void()> job)>;

    std::filesystem::path baseFolder;     // empty: the current directory at creation
    std::function<LocalDateTime()> clock; // empty: the machine's local time
    ApplicationStarter startApplication;  // empty: the in-process .xls writer
    int rowsPerSheet = 65536;             // the last row a sheet takes before the next one
    // With a poster, a save that fails on the way to the disk is shown as soon as it fails (with
    // the in-process writer); without one, the next record reports it.
    Poster post;
    // How the in-process writer's saves reach the disk, on its saving thread (empty: the atomic
    // file's commit). Tests make it fail as a disk can when it is asked to flush.
    std::function<void(AtomicFile::Pending&)> commit;
};

// The test log: one row of measured values per call into this run's workbook
// <base>/TestReportDate/TestData<YYYYMMDDHHNNSS>.xls, created at the first record. Every record
// is one short use of the spreadsheet application (start, open, write the row, save, close,
// quit); the file on disk is complete after every record. Failures are shown as message boxes
// that carry the repeat key "test-log"; a failure to create the workbook is thrown as an
// AutomationError (a std::runtime_error) for the caller's error report, and creation is tried
// again at the next record.
class TestLog : public realtime::TestLogSink {
public:
    explicit TestLog(link::MessagePresenter& presenter, TestLogOptions options = {});
    TestLog(const TestLog&) = delete;
    TestLog& operator=(const TestLog&) = delete;
    ~TestLog() override;

    void WriteLogRecord(const realtime::TestLogRow& row) override;
    // "Stop Systerm": writes rows still held in memory because their save failed (normally
    // there are none), unless the file has been deleted, and waits until the last save has
    // reached the disk. False when rows stay unwritten; the failure is then taken, so that
    // nothing else reports it, and showShutdownFailure() says so.
    bool shutdown();
    // The failure box of a shutdown that left rows unwritten; `onClosed` runs when it is closed.
    // It carries no repeat key, so an open box of the log cannot swallow it and its onClosed.
    void showShutdownFailure(std::function<void()> onClosed);
    // Waits until the saves handed to the disk have reached it (the in-process writer finishes
    // them on a thread of its own). False when the last one failed; the next record says so.
    bool flush();

    [[nodiscard]] const TestLogState& state() const { return m_state; }

    static constexpr const char* RepeatKey = "test-log";

private:
    void CreateLogWorkbook();
    void writeSheetHeader(xl::Worksheet sheet);
    [[nodiscard]] std::unique_ptr<SpreadsheetApplication> startApplication();
    [[nodiscard]] LocalDateTime now() const;
    void showError(const char* text, const char* caption);
    // A save of `path` failed on the way to the disk (posted from the saving thread).
    void onBackgroundSaveFailure(const std::string& path);

    link::MessagePresenter& m_presenter;
    TestLogOptions m_options;
    std::unique_ptr<WorkbookStore> m_store; // the in-process writer's workbooks of this run
    TestLogState m_state;
    // Posted jobs hold it weakly: a job that runs after the log has gone does nothing.
    std::shared_ptr<TestLog*> m_self = std::make_shared<TestLog*>(this);
};

} // namespace climate::report

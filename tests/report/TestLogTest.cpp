// The test log: its workbook as a reader sees it, its automation calls, and what happens when
// the spreadsheet application, the folder or the disk lets it down.
#include "report/TestLog.h"
#include "ScriptedSpreadsheet.h"
#include "TemporaryFolder.h"
#include "XlsReadBack.h"
#include "report/InProcessSpreadsheetApplication.h"
#include "report/WorkbookStore.h"
#include "support/FileSizeLimit.h"
#include "support/RecordingPresenter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <fstream>
#include <functional>
#include <mutex>
#include <system_error>
#include <vector>

using namespace climate::link;
using climate::realtime::TestLogRow;
using namespace climate::report;

namespace {

const std::array<std::string, 11> Headers{
    "Number",          "Time",         "InternalFan1Rev", "InternalFan2Rev", "ExternalFan1Rev",
    "ExternalFan2Rev", "Temperature1", "Temperature2",    "Compressor Rev",  "NA.",
    "Heater Current",
};

const std::string NoWorkbook = "报表模板文件不存在,无法打开！";
const std::string CannotStart = "无法启动Excel";
const std::string WriteFailed = "操作Excel表格失败！";
const std::string ErrorCaption = "错误";

TestLogRow rowWith(std::uint32_t fan, double temperature = 25.5) {
    return TestLogRow{double(fan),
                      double(fan + 10),
                      double(fan + 100),
                      double(fan + 110),
                      temperature,
                      -3.5,
                      2800,
                      1.5};
}

// The calls of a transcript from its n-th (1-based) "Start" on.
std::vector<std::string> fromStart(const std::vector<std::string>& calls, int n) {
    auto at = calls.begin();
    for (int seen = 0; at != calls.end(); ++at) {
        if (*at == "Start" && ++seen == n) {
            break;
        }
    }
    return {at, calls.end()};
}

bool contains(const std::vector<std::string>& calls, const std::string& call) {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

// The window's event queue for the log's posted jobs: they are queued from the saving thread and
// run when the test says so.
class PostedJobs {
public:
    TestLogOptions::Poster poster() {
        return [this](std::function<void()> job) {
            std::lock_guard lock(m_mutex);
            m_jobs.push_back(std::move(job));
        };
    }
    // Runs the jobs queued so far; returns how many there were.
    std::size_t runAll() {
        std::vector<std::function<void()>> jobs;
        {
            std::lock_guard lock(m_mutex);
            jobs.swap(m_jobs);
        }
        for (auto& job : jobs) {
            job();
        }
        return jobs.size();
    }

private:
    std::mutex m_mutex;
    std::vector<std::function<void()>> m_jobs;
};

class TestLogTest : public ::testing::Test {
protected:
    TestLogOptions options(TestLogOptions::ApplicationStarter starter = {}) {
        TestLogOptions result;
        result.baseFolder = folder.path();
        result.clock = [this] { return now; };
        result.startApplication = std::move(starter);
        return result;
    }
    ScriptedSpreadsheet::Backend realApplication() {
        return [this] { return std::make_unique<InProcessSpreadsheetApplication>(store); };
    }
    std::filesystem::path logFolder() const { return folder.path() / "TestReportDate"; }
    std::filesystem::path workbookOf(const LocalDateTime& created) const {
        return logFolder() / ("TestData" + created.compactText() + ".xls");
    }
    void later(int seconds) {
        now.second += seconds;
        now.minute += now.second / 60;
        now.second %= 60;
    }
    // The boxes shown so far, each with the error icon and the log's repeat key.
    void expectMessages(const std::vector<std::pair<std::string, std::string>>& expected) {
        ASSERT_EQ(presenter.shown().size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(presenter.shown()[i].message.text, expected[i].first);
            EXPECT_EQ(presenter.shown()[i].message.caption, expected[i].second);
            EXPECT_EQ(presenter.shown()[i].message.icon, UserMessage::Icon::Error);
            EXPECT_EQ(presenter.shown()[i].message.repeatKey, "test-log");
        }
    }
    // The log's workbook as a reader finds it once every save has reached the disk.
    XlsReadBack readLog(TestLog& log) {
        log.flush();
        store.waitForSaves(log.state().LogFilePath);
        return XlsReadBack::of(log.state().LogFilePath);
    }
    XlsReadBack::Sheet firstSheet(TestLog& log) { return readLog(log).sheets.at(0); }
    // Record rows (number, time) as the reader finds them on a sheet, from row 4 down.
    static std::vector<std::pair<double, std::string>> records(const XlsReadBack::Sheet& sheet) {
        std::vector<std::pair<double, std::string>> found;
        for (int r = 4; sheet.at(r, 1); ++r) {
            found.emplace_back(sheet.number(r, 1).value_or(-1), sheet.text(r, 2));
        }
        return found;
    }

    TemporaryFolder folder;
    RecordingPresenter presenter;
    LocalDateTime now{2024, 5, 7, 15, 30, 12};
    WorkbookStore store;
};

} // namespace

TEST_F(TestLogTest, FirstRecordCreatesTheWorkbookWithItsLayout) {
    TestLog log(presenter, options());
    log.WriteLogRecord(TestLogRow{1500, 1510, 1600, 1610, -12.5, 35.2, -350, 1.5});

    const auto path = folder.path() / "TestReportDate" / "TestData20240507153012.xls";
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_TRUE(presenter.shown().empty());
    EXPECT_TRUE(log.state().LogWorkbookCreated);
    EXPECT_EQ(log.state().LogFilePath, path.string());
    EXPECT_EQ(log.state().LogRow, 5);

    const XlsReadBack book = readLog(log);
    ASSERT_EQ(book.error, "");
    EXPECT_EQ(book.complaints, "");
    ASSERT_EQ(book.sheets.size(), 1u);
    const auto& s = book.sheets[0];
    EXPECT_EQ(s.text(1, 2), "Test Data");
    EXPECT_EQ(s.text(2, 5), "2024Year5Month7Day");
    for (int c = 1; c <= 11; ++c) {
        EXPECT_EQ(s.text(3, c), Headers[c - 1]);
    }
    EXPECT_EQ(s.number(4, 1), 1);
    EXPECT_EQ(s.text(4, 2), "20240507153012");
    // A negative compressor speed is recorded as 0; temperatures keep their sign.
    const std::array<double, 9> values{1500, 1510, 1600, 1610, -12.5, 35.2, 0, 0, 1.5};
    for (int c = 3; c <= 11; ++c) {
        EXPECT_EQ(s.number(4, c), values[c - 3]) << "column " << c;
    }
    EXPECT_EQ(s.rows, 4);

    EXPECT_EQ(s.widths, (std::map<int, int>{{0, 1718},
                                            {1, 4022},
                                            {2, 4022},
                                            {3, 4022},
                                            {4, 4022},
                                            {5, 4022},
                                            {6, 4022},
                                            {7, 4022},
                                            {8, 4022},
                                            {9, 1718},
                                            {10, 4022}}));
    constexpr int Centre = 1;
    constexpr int Bottom = 2;
    for (int r = 3; r <= 4; ++r) {
        for (int c = 1; c <= 11; ++c) {
            SCOPED_TRACE(testing::Message() << "row " << r << " column " << c);
            const auto* cell = s.at(r, c);
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(cell->format.horizontal, 2);
            EXPECT_EQ(cell->format.vertical, c == 2 && r == 4 ? Bottom : Centre);
            EXPECT_EQ(cell->format.numberFormat, c == 2 ? "0" : "General");
            EXPECT_EQ(cell->format.lines, (std::array<int, 4>{1, 1, 1, 1}));
            EXPECT_EQ(cell->format.colours, (std::array<int, 4>{64, 64, 64, 64}));
        }
    }
    EXPECT_EQ(s.at(1, 2)->format.lines, (std::array<int, 4>{0, 0, 0, 0}));
    EXPECT_EQ(s.at(2, 5)->format.lines, (std::array<int, 4>{0, 0, 0, 0}));
}

TEST_F(TestLogTest, ARecordMakesItsCallsWithTheTypesOfItsColumns) {
    ScriptedSpreadsheet spreadsheet;
    TestLog log(presenter, options(spreadsheet.starter()));
    now = {2024, 2, 1, 9, 5, 3};
    log.WriteLogRecord(TestLogRow{1500, 1510, 1600, 1610, -12.5, -3, -350, 2.25});

    const std::string path = workbookOf(now).string();
    const auto creation = spreadsheet.calls;
    ASSERT_GE(creation.size(), 10u);
    EXPECT_EQ(
        std::vector<std::string>(creation.begin(), creation.begin() + 5),
        (std::vector<std::string>{"Start", "Visible=false", "Workbooks.Add(1)",
                                  "B1.Value=text:Test Data", "E2.Value=text:2024Year2Month1Day"}));
    const std::vector<std::string> expectedCalls{"B3.Value=text:Time",
                                                 "B:B.ColumnWidth=double:15",
                                                 "B:B.HorizontalAlignment=int32:-4108",
                                                 "B3.VerticalAlignment=int32:-4108",
                                                 "B:B.NumberFormat=text:0",
                                                 "K:K.VerticalAlignment=int32:2",
                                                 "A3:K3.LineStyle=int32:1",
                                                 "SaveAs(" + path + ")"};
    for (const auto& call : expectedCalls) {
        EXPECT_TRUE(contains(creation, call)) << call;
    }
    EXPECT_FALSE(contains(creation, "B:B.VerticalAlignment=int32:2"));

    EXPECT_EQ(fromStart(spreadsheet.calls, 2),
              (std::vector<std::string>{
                  "Start",
                  "Visible=false",
                  "Workbooks.Open(" + path + ")",
                  "A4.Value=int32:1",
                  "B4.Value=text:20240201090503",
                  "C4.Value=uint32:1500",
                  "D4.Value=uint32:1510",
                  "E4.Value=uint32:1600",
                  "F4.Value=uint32:1610",
                  "G4.Value=double:-12.5",
                  "H4.Value=double:-3",
                  "I4.Value=double:0", // a negative compressor speed is recorded as 0
                  "J4.Value=int32:0",
                  "K4.Value=double:2.25",
                  "A4:K4.LineStyle=int32:1",
                  "A4:K4.Weight=int32:2",
                  "A4:K4.ColorIndex=int32:-4105",
                  "Save",
                  "Close",
                  "Quit",
              }));
}

TEST_F(TestLogTest, LaterRecordsAppendRowsNumberedOnInTheFirstFile) {
    const LocalDateTime created = now;
    TestLog log(presenter, options());
    std::vector<std::string> times;
    for (int i = 0; i < 3; ++i) {
        times.push_back(now.compactText());
        log.WriteLogRecord(rowWith(1000 + i));
        later(16);
    }

    const XlsReadBack::Sheet s = firstSheet(log);
    EXPECT_EQ(log.state().LogFilePath, workbookOf(created).string());
    EXPECT_EQ(TemporaryFolder::entries(logFolder()),
              std::vector<std::string>{workbookOf(created).filename().string()});
    EXPECT_EQ(records(s), (std::vector<std::pair<double, std::string>>{
                              {1, times[0]}, {2, times[1]}, {3, times[2]}}));
    EXPECT_EQ(s.number(6, 3), 1002);
    EXPECT_EQ(s.at(6, 11)->format.lines, (std::array<int, 4>{1, 1, 1, 1}));
    EXPECT_EQ(log.state().LogRow, 7);
    EXPECT_TRUE(presenter.shown().empty());
}

TEST_F(TestLogTest, AFolderThatCannotBeCreatedFailsCreationWhichIsTriedAgain) {
    std::ofstream(logFolder()) << "a file where the folder should be";
    TestLog log(presenter, options());
    try {
        log.WriteLogRecord(rowWith(1000));
        FAIL() << "the workbook cannot be created";
    } catch (const std::runtime_error& error) {
        const std::string text = error.what();
        EXPECT_NE(text.find(workbookOf(now).string()), std::string::npos) << text;
#ifdef _WIN32
        const char* const reason = "No such file or directory"; // all Windows says of it
#else
        const char* const reason = "Not a directory";
#endif
        EXPECT_NE(text.find(reason), std::string::npos) << text;
    }
    EXPECT_FALSE(log.state().LogWorkbookCreated);
    EXPECT_TRUE(presenter.shown().empty()) << "the caller's error report shows it";

    std::filesystem::remove(logFolder());
    later(16);
    log.WriteLogRecord(rowWith(2000));
    EXPECT_TRUE(log.state().LogWorkbookCreated);
    EXPECT_EQ(log.state().LogFilePath, workbookOf(now).string());
    const XlsReadBack::Sheet s = firstSheet(log);
    EXPECT_EQ(records(s), (std::vector<std::pair<double, std::string>>{{1, now.compactText()}}));
    EXPECT_EQ(s.number(4, 3), 2000);
    EXPECT_TRUE(presenter.shown().empty());
}

TEST_F(TestLogTest, WithoutTheSpreadsheetApplicationEveryRecordReportsTheMissingWorkbook) {
    ScriptedSpreadsheet spreadsheet;
    spreadsheet.failWhen = [](const std::string& call) { return call == "Start"; };
    TestLog log(presenter, options(spreadsheet.starter()));

    log.WriteLogRecord(rowWith(1000));
    EXPECT_TRUE(log.state().LogWorkbookCreated) << "creation is not tried again";
    expectMessages(
        {{"Start Excel Error, Do not found Excel.", "Waning"}, {NoWorkbook, ErrorCaption}});

    log.WriteLogRecord(rowWith(1000));
    expectMessages({{"Start Excel Error, Do not found Excel.", "Waning"},
                    {NoWorkbook, ErrorCaption},
                    {NoWorkbook, ErrorCaption}});
    EXPECT_EQ(spreadsheet.calls, std::vector<std::string>{"Start"});
}

TEST_F(TestLogTest, ARecordWhoseApplicationDoesNotStartIsReportedAndTheNextOneWrites) {
    ScriptedSpreadsheet spreadsheet(realApplication());
    spreadsheet.failOnce("Start", 2); // the record's start, after the creation's
    TestLog log(presenter, options(spreadsheet.starter()));

    log.WriteLogRecord(rowWith(1000));
    expectMessages({{CannotStart, ErrorCaption}});
    EXPECT_EQ(log.state().LogRow, 4);

    later(16);
    log.WriteLogRecord(rowWith(2000));
    expectMessages({{CannotStart, ErrorCaption}});
    const XlsReadBack::Sheet s = firstSheet(log);
    EXPECT_EQ(records(s), (std::vector<std::pair<double, std::string>>{{1, now.compactText()}}));
    EXPECT_EQ(s.number(4, 3), 2000);
}

TEST_F(TestLogTest, AFailedWriteClosesUpAndTheNextRecordTakesTheSameRow) {
    ScriptedSpreadsheet spreadsheet(realApplication());
    spreadsheet.failOnce("E4.Value=uint32:1100");
    TestLog log(presenter, options(spreadsheet.starter()));

    log.WriteLogRecord(rowWith(1000));
    expectMessages({{WriteFailed, ErrorCaption}});
    const auto afterFailure = fromStart(spreadsheet.calls, 2);
    EXPECT_EQ(std::vector<std::string>(afterFailure.end() - 3, afterFailure.end()),
              (std::vector<std::string>{"E4.Value=uint32:1100", "Close", "Quit"}));
    EXPECT_EQ(log.state().LogRow, 4);

    later(16);
    log.WriteLogRecord(rowWith(3000));
    const XlsReadBack::Sheet s = firstSheet(log);
    EXPECT_EQ(records(s), (std::vector<std::pair<double, std::string>>{{1, now.compactText()}}));
    EXPECT_EQ(s.number(4, 5), 3100);
    expectMessages({{WriteFailed, ErrorCaption}});
}

TEST_F(TestLogTest, ASaveThatFailsLosesNoRow) {
    if (!FileSizeLimit::available()) {
        GTEST_SKIP() << "no way to fill the disk here";
    }
    TestLog log(presenter, options());
    std::vector<std::string> times{now.compactText()};
    log.WriteLogRecord(rowWith(1000));
    const std::string path = log.state().LogFilePath;
    ASSERT_TRUE(log.flush());

    later(16);
    times.push_back(now.compactText());
    {
        const FileSizeLimit fullDisk(1024); // the disk fills up while the file is written
        log.WriteLogRecord(rowWith(2000));
    }
    expectMessages({{WriteFailed, ErrorCaption}});
    EXPECT_TRUE(log.state().LogUnsavedRows);
    EXPECT_EQ(TemporaryFolder::entries(logFolder()),
              std::vector<std::string>{std::filesystem::path(path).filename().string()});
    EXPECT_EQ(records(firstSheet(log)),
              (std::vector<std::pair<double, std::string>>{{1, times[0]}}))
        << "the file on disk is the one of the last good save";

    later(16);
    times.push_back(now.compactText());
    log.WriteLogRecord(rowWith(3000));
    const XlsReadBack::Sheet s = firstSheet(log);
    EXPECT_EQ(records(s), (std::vector<std::pair<double, std::string>>{
                              {1, times[0]}, {2, times[1]}, {3, times[2]}}));
    EXPECT_EQ(s.number(5, 3), 2000);
    EXPECT_EQ(s.at(5, 1)->format.lines, (std::array<int, 4>{1, 1, 1, 1}));
    EXPECT_FALSE(log.state().LogUnsavedRows);
    expectMessages({{WriteFailed, ErrorCaption}});
}

TEST_F(TestLogTest, ADeletedWorkbookIsReportedAtEveryRecordAndNeverCreatedAgain) {
    TestLog log(presenter, options());
    log.WriteLogRecord(rowWith(1000));
    ASSERT_TRUE(log.flush());
    std::filesystem::remove(log.state().LogFilePath);

    log.WriteLogRecord(rowWith(2000));
    log.WriteLogRecord(rowWith(3000));
    expectMessages({{NoWorkbook, ErrorCaption}, {NoWorkbook, ErrorCaption}});
    EXPECT_TRUE(TemporaryFolder::entries(logFolder()).empty());
    log.shutdown();
    EXPECT_TRUE(TemporaryFolder::entries(logFolder()).empty());
}

TEST_F(TestLogTest, AFullSheetGoesOnInANewSheetWithTheSameHeading) {
    TestLogOptions small = options();
    small.rowsPerSheet = 8; // records in rows 4 ... 8
    TestLog log(presenter, small);
    for (int i = 0; i < 12; ++i) {
        log.WriteLogRecord(rowWith(1000 + i));
    }

    const XlsReadBack book = readLog(log);
    EXPECT_EQ(book.complaints, "");
    ASSERT_EQ(book.sheets.size(), 3u);
    const std::vector<std::vector<double>> numbers{{1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}, {11, 12}};
    for (int sheet = 0; sheet < 3; ++sheet) {
        SCOPED_TRACE(sheet);
        const auto& s = book.sheets[sheet];
        EXPECT_EQ(s.text(1, 2), "Test Data");
        EXPECT_EQ(s.text(2, 5), "2024Year5Month7Day");
        for (int c = 1; c <= 11; ++c) {
            EXPECT_EQ(s.text(3, c), Headers[c - 1]);
        }
        EXPECT_EQ(s.at(3, 11)->format.lines, (std::array<int, 4>{1, 1, 1, 1}));
        EXPECT_EQ(s.widths.at(1), 4022);
        std::vector<double> found;
        for (const auto& record : records(s)) {
            found.push_back(record.first);
        }
        EXPECT_EQ(found, numbers[sheet]);
        EXPECT_EQ(s.number(4, 3), 1000 + numbers[sheet][0] - 1);
        EXPECT_EQ(s.selected, sheet == 2);
    }
    EXPECT_EQ(log.state().LogSheet, 3);
    EXPECT_EQ(log.state().LogRow, 6);
    EXPECT_TRUE(presenter.shown().empty());
}

TEST_F(TestLogTest, ASheetTakesRecordsDownToRow65536) {
    ScriptedSpreadsheet spreadsheet;
    TestLog log(presenter, options(spreadsheet.starter()));
    constexpr int RecordsPerSheet = 65536 - 3;
    for (int i = 1; i <= RecordsPerSheet; ++i) {
        spreadsheet.calls.clear();
        log.WriteLogRecord(rowWith(1000));
    }
    EXPECT_TRUE(contains(spreadsheet.calls, "A65536.Value=int32:65533"));
    EXPECT_FALSE(contains(spreadsheet.calls, "Worksheets.Add"));

    spreadsheet.calls.clear();
    log.WriteLogRecord(rowWith(1000));
    const auto& calls = spreadsheet.calls;
    const auto added = std::find(calls.begin(), calls.end(), "Worksheets.Add");
    ASSERT_NE(added, calls.end());
    EXPECT_EQ(*(added + 1), "B1.Value=text:Test Data");
    const auto record = std::find(calls.begin(), calls.end(), "A4.Value=int32:65534");
    EXPECT_GT(record, added);
    EXPECT_TRUE(presenter.shown().empty());
}

TEST_F(TestLogTest, ShutdownWritesRowsThatAFailedSaveLeftInMemory) {
    ScriptedSpreadsheet spreadsheet(realApplication());
    TestLog log(presenter, options(spreadsheet.starter()));
    log.WriteLogRecord(rowWith(1000));
    spreadsheet.calls.clear();
    EXPECT_TRUE(log.shutdown());
    EXPECT_TRUE(spreadsheet.calls.empty()) << "normally nothing is left to do";

    spreadsheet.failOnce("Save");
    later(16);
    log.WriteLogRecord(rowWith(2000));
    expectMessages({{WriteFailed, ErrorCaption}});
    EXPECT_EQ(records(firstSheet(log)).size(), 1u);

    EXPECT_TRUE(log.shutdown());
    const XlsReadBack::Sheet s = firstSheet(log);
    EXPECT_EQ(records(s).size(), 2u);
    EXPECT_EQ(s.number(5, 3), 2000);

    // Rows held in memory do not bring a deleted file back.
    spreadsheet.failOnce("Save");
    log.WriteLogRecord(rowWith(3000));
    ASSERT_TRUE(store.waitForSaves(log.state().LogFilePath));
    std::filesystem::remove(log.state().LogFilePath);
    EXPECT_FALSE(log.shutdown()) << "rows that cannot be written are said so";
    EXPECT_TRUE(TemporaryFolder::entries(logFolder()).empty());
}

namespace {

// A disk whose flush fails while `failing` is set, as one that fills up under delayed allocation
// or goes away: the new file is written, but the save cannot be completed on the saving thread.
struct FlakyDisk {
    std::function<void(AtomicFile::Pending&)> commit() {
        return [this](AtomicFile::Pending& pending) {
            if (failing) {
                throw std::system_error(EIO, std::generic_category(), "cannot flush");
            }
            AtomicFile::commit(pending);
        };
    }
    std::atomic<bool> failing = false;
};

} // namespace

// A save that fails on its way to the disk is shown through the poster as soon as it fails, once:
// whether the posted job or the next record comes first, the failure is reported one time, and
// the next save writes every row.
TEST_F(TestLogTest, ASaveThatFailsOnTheSavingThreadIsShownOnceWithoutWaitingForARecord) {
    for (const bool postedJobFirst : {true, false}) {
        SCOPED_TRACE(postedJobFirst ? "posted job first" : "next record first");
        presenter.clear();
        PostedJobs posted;
        FlakyDisk disk;
        TestLogOptions withPoster = options();
        withPoster.post = posted.poster();
        withPoster.commit = disk.commit();
        TestLog log(presenter, withPoster);
        log.WriteLogRecord(rowWith(1000));
        ASSERT_TRUE(log.flush());
        disk.failing = true;

        later(16);
        log.WriteLogRecord(rowWith(2000));
        EXPECT_FALSE(log.flush());
        EXPECT_TRUE(presenter.shown().empty()) << "nothing is shown from the saving thread";
        if (postedJobFirst) {
            EXPECT_EQ(posted.runAll(), 1u);
            expectMessages({{WriteFailed, ErrorCaption}});
            EXPECT_TRUE(log.state().LogUnsavedRows);
        }

        disk.failing = false;
        later(16);
        log.WriteLogRecord(rowWith(3000));
        posted.runAll();
        expectMessages({{WriteFailed, ErrorCaption}});
        ASSERT_TRUE(log.flush());
        EXPECT_EQ(records(firstSheet(log)).size(), 3u);
        EXPECT_EQ(firstSheet(log).number(5, 3), 2000);
        EXPECT_TRUE(log.shutdown());
    }
}

// When the last save fails and no record follows, the shutdown tries once more and, failing
// again, says so; the failure is then its caller's to show, and the posted job shows nothing.
TEST_F(TestLogTest, AShutdownAfterAFailedLastSaveReportsItOnceThroughItsCaller) {
    PostedJobs posted;
    FlakyDisk disk;
    TestLogOptions withPoster = options();
    withPoster.post = posted.poster();
    withPoster.commit = disk.commit();

    // On the saving thread.
    {
        TestLog log(presenter, withPoster);
        log.WriteLogRecord(rowWith(1000));
        ASSERT_TRUE(log.flush());
        disk.failing = true;
        log.WriteLogRecord(rowWith(2000));
        EXPECT_FALSE(log.shutdown());
        posted.runAll();
        EXPECT_TRUE(presenter.shown().empty()) << presenter.shown().front().message.text;
        disk.failing = false;
    }

    // Before the disk: the disk is full.
    if (!FileSizeLimit::available()) {
        GTEST_SKIP() << "the cases above ran; no way to fill the disk here";
    }
    now.minute += 1;
    TestLog log(presenter, withPoster);
    log.WriteLogRecord(rowWith(1000));
    ASSERT_TRUE(log.flush());
    {
        const FileSizeLimit fullDisk(1024);
        later(16);
        log.WriteLogRecord(rowWith(2000));
        expectMessages({{WriteFailed, ErrorCaption}});
        EXPECT_FALSE(log.shutdown());
    }
    posted.runAll();
    expectMessages({{WriteFailed, ErrorCaption}});
    EXPECT_EQ(records(firstSheet(log)).size(), 1u) << "the file keeps the last good save";

    log.showShutdownFailure([] {});
    ASSERT_EQ(presenter.shown().size(), 2u);
    EXPECT_EQ(presenter.shown()[1].message.text, WriteFailed);
    EXPECT_EQ(presenter.shown()[1].message.caption, ErrorCaption);
    EXPECT_EQ(presenter.shown()[1].message.repeatKey, "")
        << "no open box of the log may swallow it";
}

// One test-log record: open the run's workbook, write the row, save the whole workbook
// atomically (temporary file, flush to disk, rename), close. The record runs inside an engine
// tick of 10 ms, so it has to stay well below that however long the log has grown.
//
// Files go to the system's temporary folder; set TMPDIR to measure another disk.
#include "link/UserMessage.h"
#include "report/AtomicFile.h"
#include "report/Biff8Writer.h"
#include "report/CompoundFile.h"
#include "report/InProcessSpreadsheetApplication.h"
#include "report/TestLog.h"
#include "report/Workbook.h"
#include "report/WorkbookStore.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

using namespace climate::link;
using climate::realtime::TestLogRow;
using namespace climate::report;

namespace {

class SilentPresenter : public MessagePresenter {
public:
    void show(const UserMessage& message, std::function<void()>) override {
        failures.push_back(message.text);
    }
    std::vector<std::string> failures;
};

// The real application, except that saving can be switched off to fill a long log quickly.
class FillingApplication : public InProcessSpreadsheetApplication {
public:
    FillingApplication(WorkbookStore& store, const bool& filling)
        : InProcessSpreadsheetApplication(store), m_filling(filling) {}
    void saveActiveWorkbook() override {
        if (!m_filling) {
            InProcessSpreadsheetApplication::saveActiveWorkbook();
        }
    }

private:
    const bool& m_filling;
};

class BenchFolder {
public:
    BenchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "report-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) {
            std::abort();
        }
        path = pattern;
    }
    ~BenchFolder() { std::filesystem::remove_all(path); }
    std::filesystem::path path;
};

TestLogRow sampleRow(int i) {
    return TestLogRow{double(1500 + i % 7), 1510, 1600, 1610, -12.5, 35.2, 2800, 1.5};
}

// A record appended to a workbook that already holds state.range(0) records. The engine waits
// for the record up to the new file being written; with `durable`, also until it is on the disk
// under its name, which the writer otherwise finishes on its own thread.
void appendRecord(benchmark::State& state, bool durable) {
    BenchFolder folder;
    SilentPresenter presenter;
    WorkbookStore store;
    bool filling = true;
    LocalDateTime now{2024, 5, 7, 15, 30, 12};
    TestLogOptions options;
    options.baseFolder = folder.path;
    options.clock = [&] { return now; };
    options.startApplication = [&] { return std::make_unique<FillingApplication>(store, filling); };
    TestLog log(presenter, options);

    const auto filled = static_cast<int>(state.range(0));
    for (int i = 0; i < filled; ++i) {
        now.second = i % 60;
        log.WriteLogRecord(sampleRow(i));
    }
    filling = false;
    log.flush();
    for (auto _ : state) {
        log.WriteLogRecord(sampleRow(0));
        if (durable) {
            log.flush();
        } else {
            state.PauseTiming(); // the disk catches up between records, 16 s apart in use
            log.flush();
            state.ResumeTiming();
        }
    }

    if (!presenter.failures.empty()) {
        state.SkipWithError("a record failed");
    }
    state.counters["file_kB"] =
        static_cast<double>(std::filesystem::file_size(log.state().LogFilePath)) / 1024;
}
void BM_AppendRecord(benchmark::State& state) {
    appendRecord(state, false);
}
void BM_AppendRecordUntilOnDisk(benchmark::State& state) {
    appendRecord(state, true);
}
BENCHMARK(BM_AppendRecordUntilOnDisk)->Arg(10000)->Iterations(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendRecord)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(65533)  // one full sheet
    ->Arg(131066) // two full sheets, about a month of records
    ->Iterations(50)
    ->Unit(benchmark::kMillisecond);

// The parts of a save: the records into a stream (from scratch: what a writer that keeps what
// it encoded saves), the container, the write to disk.
void BM_WorkbookStreamFromScratch(benchmark::State& state) {
    Workbook book;
    Worksheet& sheet = book.addWorksheet();
    for (int r = 0; r < state.range(0); ++r) {
        for (int c = 0; c < 11; ++c) {
            auto& cell = sheet.cellAt(r + 3, c);
            if (c == 1) {
                cell.kind = Worksheet::Cell::Kind::Text;
                cell.text = book.internString(std::to_string(20240507000000LL + r));
            } else {
                cell.kind = Worksheet::Cell::Kind::Number;
                cell.number = c < 6 ? 1500 + c : -12.5;
            }
        }
    }
    std::size_t size = 0;
    for (auto _ : state) {
        size = Biff8Writer().workbookStream(book).size();
    }
    state.counters["stream_kB"] = static_cast<double>(size) / 1024;
}
BENCHMARK(BM_WorkbookStreamFromScratch)->Arg(10000)->Arg(65533)->Unit(benchmark::kMillisecond);

void BM_CompoundFile(benchmark::State& state) {
    const std::vector<std::uint8_t> stream(static_cast<std::size_t>(state.range(0)), 0x5A);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CompoundFile::withStream("Workbook", stream));
    }
}
BENCHMARK(BM_CompoundFile)->Arg(2 << 20)->Unit(benchmark::kMillisecond);

void BM_AtomicWrite(benchmark::State& state) {
    BenchFolder folder;
    const std::vector<std::uint8_t> data(static_cast<std::size_t>(state.range(0)), 0x5A);
    for (auto _ : state) {
        AtomicFile::write(folder.path / "TestData.xls", data);
    }
}
BENCHMARK(BM_AtomicWrite)->Arg(2 << 20)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();

// The test-log reader with arbitrary files: the bytes are tried as a compound file (libgsf's
// input) and, directly, as the workbook stream. It either reads them or throws WorkbookReadError;
// it must not crash, read outside its buffers or hang. What it reads keeps to the log's shape:
// every record has a valid time and eight values, and no row is counted twice.
#include "report/TestLogFile.h"
#include "report/WorkbookReader.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <span>

using namespace climate::report;

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

void readStream(std::span<const std::uint8_t> stream) {
    try {
        const TestLogContents log = testLogOfStream(stream);
        check(log.sheets > 0);
        check(log.records.size() + static_cast<std::size_t>(log.skippedRows) <=
              static_cast<std::size_t>(log.sheets) * 65536);
        for (const TestLogRecord& r : log.records) {
            check(r.time.month >= 1 && r.time.month <= 12 && r.time.day >= 1 && r.time.day <= 31 &&
                  r.time.hour <= 23 && r.time.minute <= 59);
            for (const double v : r.values)
                check(std::isnan(v) || std::isfinite(v));
        }
    } catch (const WorkbookReadError&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    try {
        readStream(WorkbookReader::workbookStreamOf(input));
    } catch (const WorkbookReadError&) {
    }
    readStream(input);
    return 0;
}

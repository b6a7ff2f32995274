#pragma once

#include "LocalDateTime.h"
#include "realtime/TestLogSink.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace climate::report {

// One record of a test log as read back: its time and the measured values of columns C to K
// but J, those of realtime::testLogChannels() in its order (internal fans 1 and 2, external fans
// 1 and 2, temperatures 1 and 2, compressor speed, heater current). A value missing from the row
// is NaN.
struct TestLogRecord {
    static constexpr int ValueCount = static_cast<int>(realtime::TestLogValueCount);
    LocalDateTime time;
    std::array<double, ValueCount> values{};
};

struct TestLogContents {
    std::vector<TestLogRecord> records; // every sheet's, in file order
    int sheets = 0;
    int skippedRows = 0; // rows without a readable time
};

// Reads a test-log workbook this tool wrote: every sheet must carry the log's heading in row 3.
// Throws WorkbookReadError, with one sentence for the user, for a file that is not such a
// workbook, is truncated or damaged.
[[nodiscard]] TestLogContents readTestLog(const std::filesystem::path& path);
// The same from the workbook stream.
[[nodiscard]] TestLogContents testLogOfStream(std::span<const std::uint8_t> stream);

} // namespace climate::report

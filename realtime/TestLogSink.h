#pragma once

#include "LiveData.h"

#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace climate::realtime {

struct LiveChannel;

// How many live values a test-log record holds: the channels the table gives a log column.
inline constexpr std::size_t TestLogValueCount = 8;

// The channels of a test-log record, in the table's order (which is their columns' order).
[[nodiscard]] std::span<const LiveChannel* const, TestLogValueCount> testLogChannels();

// The values of one test-log record, from the live record the polling cycle has just decoded:
// values[i] is testLogChannels()[i]'s, as the page shows it (a negative compressor speed is 0).
struct TestLogRow {
    std::array<double, TestLogValueCount> values{};

    // The value of the channel of LiveData field `field`; throws std::out_of_range for a field
    // the log does not keep.
    [[nodiscard]] double value(std::string_view field) const;
};

// The test-log row of a live record.
[[nodiscard]] TestLogRow testLogRow(const LiveData& live);

// Where the polling cycle hands a row when one is due. Called inside the engine tick; an error it
// cannot handle itself is thrown and reported like any handler error.
class TestLogSink {
public:
    virtual ~TestLogSink() = default;
    virtual void WriteLogRecord(const TestLogRow& row) = 0;
};

} // namespace climate::realtime

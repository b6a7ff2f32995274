#pragma once

#include <cstdint>

namespace climate::link {

// The values of one test-log record, from the live record the polling cycle has just decoded.
struct TestLogRow {
    std::uint32_t InternalFan1Rev = 0;
    std::uint32_t InternalFan2Rev = 0;
    std::uint32_t ExternalFan1Rev = 0;
    std::uint32_t ExternalFan2Rev = 0;
    double Temperature1 = 0;  // deg C
    double Temperature2 = 0;  // deg C
    double CompressorRev = 0; // a negative speed is logged as 0, as the odometer shows it
    double HeaterCurrent = 0; // A
};

// Where the polling cycle hands a row when one is due. Called inside the engine tick; an error it
// cannot handle itself is thrown and reported like any handler error.
class TestLogSink {
public:
    virtual ~TestLogSink() = default;
    virtual void WriteLogRecord(const TestLogRow& row) = 0;
};

} // namespace climate::link

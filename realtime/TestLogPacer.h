#pragma once

#include "LiveDataModel.h"

#include <cstdint>

namespace climate::realtime {

class TestLogSink;

// Paces the test log: after the measurements arrive it hands a row to the log once more than 20
// Timer1 ticks have passed since the last row.
class TestLogPacer : public LiveDataListener {
public:
    static constexpr std::uint32_t LogDueAfterTicks = 20;
    static constexpr std::uint32_t LogTickLimit = 10000;

    // `log` may be null.
    explicit TestLogPacer(TestLogSink* log) : m_log(log) {}

    // One Timer1 tick (the count stops at LogTickLimit).
    void countTimer1Tick();
    [[nodiscard]] std::uint32_t logTickCount() const { return m_logTickCount; }
    void setLogTickCount(std::uint32_t ticks) { m_logTickCount = ticks; }

    void groupDecoded(LiveGroup group, const LiveData& live,
                      LiveClock::time_point arrived) override;

private:
    TestLogSink* m_log = nullptr;
    std::uint32_t m_logTickCount = 0;
};

} // namespace climate::realtime

#pragma once

#include "link/Transaction.h"

#include <cstdint>

class TestLogSink;
struct LiveData;
struct RealTimeView;
struct TestLogRow;

// Step 3 of the polling circle: input registers 0 ... 13, the measurements. After a good reply it
// hands a row to the test log once more than 20 Timer1 ticks have passed since the last row.
class MeasurementsStep : public PollTransaction {
public:
    static constexpr std::uint32_t LogDueAfterTicks = 20;

    MeasurementsStep(LiveData& live, const RealTimeView& view, std::uint32_t& logTickCount,
                     TestLogSink* log);

protected:
    void decode(CommEngine& engine) override;
    void afterDecode(CommEngine& engine) override;

private:
    [[nodiscard]] TestLogRow logRow() const;

    LiveData& m_live;
    const RealTimeView& m_view;
    std::uint32_t& m_logTickCount;
    TestLogSink* m_log = nullptr;
};

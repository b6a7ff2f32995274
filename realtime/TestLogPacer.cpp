#include "TestLogPacer.h"

#include "link/TestLogSink.h"

#include <algorithm>

namespace climate::realtime {

using namespace climate::link;

void TestLogPacer::countTimer1Tick() {
    if (m_logTickCount < LogTickLimit) {
        ++m_logTickCount;
    }
}

void TestLogPacer::groupDecoded(LiveGroup group, const LiveData& live,
                                LiveClock::time_point /*arrived*/) {
    if (group != LiveGroup::Measurements || m_logTickCount <= LogDueAfterTicks) {
        return;
    }
    // Reset first: a row that fails is lost, not retried on every following circle.
    m_logTickCount = 0;
    if (m_log != nullptr) {
        m_log->WriteLogRecord(logRow(live));
    }
}

TestLogRow TestLogPacer::logRow(const LiveData& live) {
    TestLogRow row;
    row.InternalFan1Rev = live.InternalFan1Rev;
    row.InternalFan2Rev = live.InternalFan2Rev;
    row.ExternalFan1Rev = live.ExternalFan1Rev;
    row.ExternalFan2Rev = live.ExternalFan2Rev;
    row.Temperature1 = live.Temperature1;
    row.Temperature2 = live.Temperature2;
    // The odometer shows a negative speed as 0, and the log records what the page shows.
    row.CompressorRev = std::max(live.CompressorRev, 0);
    row.HeaterCurrent = live.HeaterCurrent;
    return row;
}

} // namespace climate::realtime

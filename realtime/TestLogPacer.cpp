#include "TestLogPacer.h"

#include "TestLogSink.h"

namespace climate::realtime {

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
        m_log->WriteLogRecord(testLogRow(live));
    }
}

} // namespace climate::realtime

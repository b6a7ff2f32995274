#include "MeasurementsStep.h"

#include "LiveData.h"
#include "LiveDataDecoding.h"
#include "LiveDisplay.h"
#include "RealTimeView.h"
#include "TestLogSink.h"
#include "link/CommEngine.h"
#include "widgets/NumericReadout.h"
#include "widgets/Odometer.h"

MeasurementsStep::MeasurementsStep(LiveData& live, const RealTimeView& view,
                                   std::uint32_t& logTickCount, TestLogSink* log)
    : PollTransaction(Requests::PollMeasurements), m_live(live), m_view(view),
      m_logTickCount(logTickCount), m_log(log) {}

void MeasurementsStep::decode(CommEngine& engine) {
    decodeMeasurements(engine.state(), m_live);
    showMeasurements(m_live, m_view);
}

void MeasurementsStep::afterDecode(CommEngine& /*engine*/) {
    if (m_logTickCount <= LogDueAfterTicks) {
        return;
    }
    // Reset first: a row that fails is lost, not retried on every following circle.
    m_logTickCount = 0;
    if (m_log != nullptr) {
        m_log->WriteLogRecord(logRow());
    }
}

TestLogRow MeasurementsStep::logRow() const {
    TestLogRow row;
    row.InternalFan1Rev = m_live.InternalFan1Rev;
    row.InternalFan2Rev = m_live.InternalFan2Rev;
    row.ExternalFan1Rev = m_live.ExternalFan1Rev;
    row.ExternalFan2Rev = m_live.ExternalFan2Rev;
    // The log records what the page shows: the odometer holds a negative speed as 0.
    row.Temperature1 = m_view.iAnalogOutput[3]->value();
    row.Temperature2 = m_view.iAnalogOutput[4]->value();
    row.CompressorRev = m_view.iOdometer[5]->value();
    row.HeaterCurrent = m_view.iAnalogOutput[2]->value();
    return row;
}

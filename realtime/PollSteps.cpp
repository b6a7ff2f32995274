#include "PollSteps.h"

#include "LiveData.h"
#include "LiveDataDecoding.h"
#include "LiveDisplay.h"
#include "PollCircle.h"
#include "link/TestLogSink.h"

#include <algorithm>

namespace climate::realtime {

using namespace climate::link;

namespace {

// The circle's reads, each with how the page shows what it decoded.
constexpr PollStepRow step(std::size_t index, void (*show)(const LiveData&, const RealTimeView&)) {
    const PollRead& read = PollCircle[index];
    return {.shape = read.shape,
            .moveOnAtBadCrc = read.moveOnAtBadCrc,
            .decode = read.decode,
            .show = show};
}

constexpr std::array<PollStepRow, 4> Steps{{
    step(0, showStatusCoils),
    step(1, nullptr),
    step(2, showCompressorSettings),
    step(3, showMeasurements),
}};

} // namespace

std::span<const PollStepRow, 4> pollSteps() {
    return Steps;
}

PollStep::PollStep(const PollStepRow& row, LiveData& live, const RealTimeView& view)
    : PollTransaction(row.shape, row.moveOnAtBadCrc), m_row(row), m_live(live), m_view(view) {}

void PollStep::decode(std::span<const std::uint8_t> reply) {
    m_row.decode(reply, m_live);
    if (m_row.show != nullptr) {
        m_row.show(m_live, m_view);
    }
}

MeasurementsStep::MeasurementsStep(LiveData& live, const RealTimeView& view, TestLogSink* log)
    : PollStep(pollSteps()[3], live, view), m_log(log) {}

void MeasurementsStep::countTimer1Tick() {
    if (m_logTickCount < LogTickLimit) {
        ++m_logTickCount;
    }
}

void MeasurementsStep::afterDecode() {
    if (m_logTickCount <= LogDueAfterTicks) {
        return;
    }
    // Reset first: a row that fails is lost, not retried on every following circle.
    m_logTickCount = 0;
    if (m_log != nullptr) {
        m_log->WriteLogRecord(logRow(live()));
    }
}

TestLogRow MeasurementsStep::logRow(const LiveData& live) {
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

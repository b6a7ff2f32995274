#include "PollSteps.h"

#include "LiveData.h"
#include "LiveDataDecoding.h"
#include "LiveDisplay.h"

namespace climate::realtime {

using namespace climate::link;

namespace {

constexpr std::array<PollStepRow, 4> Steps{{
    {.shape = Requests::PollCoils,
     .group = LiveGroup::StatusCoils,
     .decode = decodeStatusCoils,
     .show = showStatusCoils},
    {.shape = Requests::PollAlarmInputs,
     .group = LiveGroup::AlarmInputs,
     .moveOnAtBadCrc = true,
     .decode = decodeAlarmInputs},
    {.shape = Requests::PollCompressorSettings,
     .group = LiveGroup::CompressorSettings,
     .decode = decodeCompressorSettings,
     .show = showCompressorSettings},
    {.shape = Requests::PollMeasurements,
     .group = LiveGroup::Measurements,
     .decode = decodeMeasurements,
     .show = showMeasurements},
}};

} // namespace

std::span<const PollStepRow, 4> pollSteps() {
    return Steps;
}

PollStep::PollStep(const PollStepRow& row, LiveDataModel& model)
    : PollTransaction(row.shape, row.moveOnAtBadCrc), m_row(row), m_model(model) {}

void PollStep::decode(std::span<const std::uint8_t> reply) {
    m_row.decode(reply, m_model.record());
}

void PollStep::afterDecode() {
    m_model.groupDecoded(m_row.group);
}

} // namespace climate::realtime

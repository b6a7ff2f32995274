#include "PollSteps.h"

#include "LiveData.h"
#include "LiveDataDecoding.h"
#include "LiveDisplay.h"
#include "PollCircle.h"

namespace climate::realtime {

using namespace climate::link;

namespace {

// The circle's reads, each with the group it publishes and how the page shows it.
constexpr PollStepRow step(std::size_t index, LiveGroup group,
                           void (*show)(const LiveData&, const RealTimeView&)) {
    const PollRead& read = PollCircle[index];
    return {.shape = read.shape,
            .group = group,
            .moveOnAtBadCrc = read.moveOnAtBadCrc,
            .decode = read.decode,
            .show = show};
}

constexpr std::array<PollStepRow, 4> Steps{{
    step(0, LiveGroup::StatusCoils, showStatusCoils),
    step(1, LiveGroup::AlarmInputs, nullptr),
    step(2, LiveGroup::CompressorSettings, showCompressorSettings),
    step(3, LiveGroup::Measurements, showMeasurements),
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

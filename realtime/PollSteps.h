#pragma once

#include "LiveDataModel.h"
#include "link/ModbusFrame.h"
#include "link/Transaction.h"

#include <array>
#include <cstdint>
#include <span>

namespace climate::realtime {

struct LiveData;
struct RealTimeView;

// One step of the RealTimeData polling circle: what it reads, how it decodes the reply into the
// live record and how the page shows it (no display for the alarm inputs: the blinking LEDs show
// them).
struct PollStepRow {
    link::RequestShape shape;
    LiveGroup group = LiveGroup::StatusCoils;
    bool moveOnAtBadCrc = false;
    void (*decode)(std::span<const std::uint8_t> reply, LiveData& live) = nullptr;
    void (*show)(const LiveData& live, const RealTimeView& view) = nullptr;
};

// The circle, in order: status coils, alarm inputs (a bad CRC moves on at once), compressor
// settings, measurements.
[[nodiscard]] std::span<const PollStepRow, 4> pollSteps();

// A poll step made of its row: it decodes an accepted reply into the model's record and, once the
// circle has moved on, publishes the group.
class PollStep : public link::PollTransaction {
public:
    PollStep(const PollStepRow& row, LiveDataModel& model);

protected:
    void decode(std::span<const std::uint8_t> reply) override;
    void afterDecode() override;

private:
    const PollStepRow& m_row;
    LiveDataModel& m_model;
};

} // namespace climate::realtime

#pragma once

#include "LiveGroup.h"

#include "link/Commands.h"

#include <array>
#include <cstdint>
#include <span>

namespace climate::realtime {

struct LiveData;

// One step of the RealTimeData polling circle: the link's row of it (its code, the fixed request
// and the name the bus monitor and the command line give it), how a bad CRC ends it, and the group
// of live channels its reply carries. Who shows the record is the caller's business.
struct PollRead {
    const link::CommandRow* command = nullptr;
    LiveGroup group = LiveGroup::StatusCoils;
    bool moveOnAtBadCrc = false;

    [[nodiscard]] constexpr const link::RequestShape& shape() const { return *command->request; }
    // Decodes the accepted reply into every channel of the group.
    void decode(std::span<const std::uint8_t> reply, LiveData& live) const;
};

// The circle, in order: status coils, alarm inputs (a bad CRC moves on at once), compressor
// settings, measurements.
inline constexpr std::array<PollRead, 4> PollCircle{{
    {&link::PollStepCommands[0], LiveGroup::StatusCoils},
    {&link::PollStepCommands[1], LiveGroup::AlarmInputs, true},
    {&link::PollStepCommands[2], LiveGroup::CompressorSettings},
    {&link::PollStepCommands[3], LiveGroup::Measurements},
}};

// Each step stands at its own code and publishes the group of that number.
static_assert([] {
    for (std::size_t step = 0; step < PollCircle.size(); ++step) {
        if (PollCircle[step].command->code != step ||
            static_cast<std::size_t>(PollCircle[step].group) != step) {
            return false;
        }
    }
    return true;
}());

} // namespace climate::realtime

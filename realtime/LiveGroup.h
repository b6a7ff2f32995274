#pragma once

#include <cstdint>

namespace climate::realtime {

// The four groups the polling circle reads, in the order it reads them.
enum class LiveGroup : std::uint8_t {
    StatusCoils = 0,
    AlarmInputs = 1,
    CompressorSettings = 2,
    Measurements = 3,
};

} // namespace climate::realtime

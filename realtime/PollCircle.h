#pragma once

#include "LiveDataDecoding.h"

#include "link/ModbusFrame.h"

#include <array>
#include <cstdint>
#include <span>

namespace climate::realtime {

struct LiveData;

// What one step of the RealTimeData polling circle reads and how its reply is decoded into the
// live record; who shows the record is the caller's business.
struct PollRead {
    link::RequestShape shape;
    bool moveOnAtBadCrc = false;
    void (*decode)(std::span<const std::uint8_t> reply, LiveData& live) = nullptr;
};

// The circle, in order: status coils, alarm inputs (a bad CRC moves on at once), compressor
// settings, measurements.
inline constexpr std::array<PollRead, 4> PollCircle{{
    {.shape = link::Requests::PollCoils, .decode = decodeStatusCoils},
    {.shape = link::Requests::PollAlarmInputs, .moveOnAtBadCrc = true, .decode = decodeAlarmInputs},
    {.shape = link::Requests::PollCompressorSettings, .decode = decodeCompressorSettings},
    {.shape = link::Requests::PollMeasurements, .decode = decodeMeasurements},
}};

} // namespace climate::realtime

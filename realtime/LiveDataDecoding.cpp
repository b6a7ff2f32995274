#include "LiveDataDecoding.h"

#include "LiveChannels.h"
#include "link/ModbusFrame.h"

namespace climate::realtime {

using namespace climate::link;

double signedTenths(std::uint16_t word) {
    // Multiplied in extended precision so that the double shown is the one nearest the tenths
    // value (-3 gives -0.3, not -0.30000000000000004).
    return static_cast<double>(static_cast<long double>(static_cast<std::int16_t>(word)) * 0.1L);
}

void decodeStatusCoils(std::span<const std::uint8_t> reply, LiveData& live) {
    decodeGroup(LiveGroup::StatusCoils, Requests::PollCoils.first, reply, live);
}

void decodeAlarmInputs(std::span<const std::uint8_t> reply, LiveData& live) {
    decodeGroup(LiveGroup::AlarmInputs, Requests::PollAlarmInputs.first, reply, live);
}

void decodeCompressorSettings(std::span<const std::uint8_t> reply, LiveData& live) {
    decodeGroup(LiveGroup::CompressorSettings, Requests::PollCompressorSettings.first, reply, live);
}

void decodeMeasurements(std::span<const std::uint8_t> reply, LiveData& live) {
    decodeGroup(LiveGroup::Measurements, Requests::PollMeasurements.first, reply, live);
}

void clearLostLinkRecord(LiveData& live) {
    for (const LiveChannel& channel : liveChannels()) {
        if (channel.onLinkLoss == OnLinkLoss::Zeroed) {
            channel.store(live, 0);
        }
    }
}

} // namespace climate::realtime

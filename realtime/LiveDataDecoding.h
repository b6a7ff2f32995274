#pragma once

#include <cstdint>
#include <span>

namespace climate::realtime {

struct LiveData;

// Decoding of the four poll replies into the live record, as the channel table (LiveChannels.h)
// places each value. Each function reads the accepted reply `reply` and writes only the fields its
// read covers; nothing here touches a widget.

// A register holding a signed value in tenths (temperatures, voltage, currents), in the unit.
[[nodiscard]] double signedTenths(std::uint16_t word);

// Step 0: coils 0 ... 15 (fan states, compressor and heater on, forced output on coil 12).
void decodeStatusCoils(std::span<const std::uint8_t> reply, LiveData& live);
// Step 1: discrete inputs 0 ... 17 (alarm flags).
void decodeAlarmInputs(std::span<const std::uint8_t> reply, LiveData& live);
// Step 2: holding registers 41 ... 43 (compressor start temperature and difference).
void decodeCompressorSettings(std::span<const std::uint8_t> reply, LiveData& live);
// Step 3: input registers 0 ... 13 (speeds, temperatures, voltage, currents, force status).
void decodeMeasurements(std::span<const std::uint8_t> reply, LiveData& live);

// The record's part of the link-loss clearing: the channels the table marks as zeroed (the alarm
// flags the controller re-sends on every poll, the speeds, the first two temperatures, the
// voltage and the compressor's current and speed). The rest keep their last values.
void clearLostLinkRecord(LiveData& live);

} // namespace climate::realtime

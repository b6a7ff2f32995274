#include "LiveDataDecoding.h"

#include "LiveData.h"
#include "link/ModbusFrame.h"

namespace climate::realtime {

using namespace climate::link;

namespace {

std::uint8_t bit(std::span<const std::uint8_t> reply, std::size_t n) {
    return replyBit(reply, n) ? 1 : 0;
}

} // namespace

double signedTenths(std::uint16_t word) {
    // Multiplied in extended precision so that the double shown is the one nearest the tenths
    // value (-3 gives -0.3, not -0.30000000000000004).
    return static_cast<double>(static_cast<long double>(static_cast<std::int16_t>(word)) * 0.1L);
}

void decodeStatusCoils(std::span<const std::uint8_t> reply, LiveData& live) {
    live.IntFan1Status = bit(reply, 0);
    live.IntFan2Status = bit(reply, 1);
    live.ExtFan1Status = bit(reply, 2);
    live.ExtFan2Status = bit(reply, 3);
    live.CompressorOn = bit(reply, 4);
    live.HeaterOn = bit(reply, 5);
    live.ForcedOutput = bit(reply, 12);
}

void decodeAlarmInputs(std::span<const std::uint8_t> reply, LiveData& live) {
    live.IntFan1Alarm = bit(reply, 0);
    live.IntFan2Alarm = bit(reply, 1);
    live.ExtFan1Alarm = bit(reply, 2);
    live.ExtFan2Alarm = bit(reply, 3);
    live.CompressorAlarm1 = bit(reply, 4);
    live.CompressorAlarm2 = bit(reply, 5);
    live.HeaterAlarm = bit(reply, 7);
    live.TempSensor1Alarm = bit(reply, 10);
    live.TempSensor2Alarm = bit(reply, 11);
    live.VoltageAlarm1 = bit(reply, 12);
    live.VoltageAlarm2 = bit(reply, 13);
    live.HighTempAlarm = bit(reply, 14);
    live.LowTempAlarm = bit(reply, 15);
    live.HighPressureAlarm = bit(reply, 16);
    live.LowPressureAlarm = bit(reply, 17);
}

void decodeCompressorSettings(std::span<const std::uint8_t> reply, LiveData& live) {
    live.CompressorSetTemp = signedTenths(replyRegister(reply, 0));
    live.CompressorDeltTemp = signedTenths(replyRegister(reply, 1));
}

void decodeMeasurements(std::span<const std::uint8_t> reply, LiveData& live) {
    live.InternalFan1Rev = replyRegister(reply, 0);
    live.InternalFan2Rev = replyRegister(reply, 1);
    live.ExternalFan1Rev = replyRegister(reply, 2);
    live.ExternalFan2Rev = replyRegister(reply, 3);
    live.Temperature1 = signedTenths(replyRegister(reply, 4));
    live.Temperature2 = signedTenths(replyRegister(reply, 5));
    live.SupplyVoltage = signedTenths(replyRegister(reply, 6));
    live.CompressorRev = static_cast<std::int16_t>(replyRegister(reply, 7));
    live.CompressorCurrent = signedTenths(replyRegister(reply, 8));
    live.HeaterCurrent = signedTenths(replyRegister(reply, 10));
    // Only the low byte of register 11 carries the status; the controller may set the high one.
    live.ForceOutputStatus = static_cast<std::uint8_t>(replyRegister(reply, 11) & 0xFF);
    live.Temperature3 = signedTenths(replyRegister(reply, 13));
}

} // namespace climate::realtime

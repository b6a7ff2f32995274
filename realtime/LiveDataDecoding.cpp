#include "LiveDataDecoding.h"

#include "LiveData.h"
#include "link/EngineState.h"

namespace {

std::uint8_t bit(const EngineState& reply, std::size_t n) {
    return reply.replyBit(n) ? 1 : 0;
}

} // namespace

double signedTenths(std::uint16_t word) {
    // Multiplied in extended precision so that the double shown is the one nearest the tenths
    // value (-3 gives -0.3, not -0.30000000000000004).
    return static_cast<double>(static_cast<long double>(static_cast<std::int16_t>(word)) * 0.1L);
}

void decodeStatusCoils(const EngineState& reply, LiveData& live) {
    live.IntFan1Status = bit(reply, 0);
    live.IntFan2Status = bit(reply, 1);
    live.ExtFan1Status = bit(reply, 2);
    live.ExtFan2Status = bit(reply, 3);
    live.CompressorOn = bit(reply, 4);
    live.HeaterOn = bit(reply, 5);
    live.ForcedOutput = bit(reply, 12);
}

void decodeAlarmInputs(const EngineState& reply, LiveData& live) {
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

void decodeCompressorSettings(const EngineState& reply, LiveData& live) {
    live.CompressorSetTemp = signedTenths(reply.replyRegister(0));
    live.CompressorDeltTemp = signedTenths(reply.replyRegister(1));
}

void decodeMeasurements(const EngineState& reply, LiveData& live) {
    live.InternalFan1Rev = reply.replyRegister(0);
    live.InternalFan2Rev = reply.replyRegister(1);
    live.ExternalFan1Rev = reply.replyRegister(2);
    live.ExternalFan2Rev = reply.replyRegister(3);
    live.Temperature1 = signedTenths(reply.replyRegister(4));
    live.Temperature2 = signedTenths(reply.replyRegister(5));
    live.SupplyVoltage = signedTenths(reply.replyRegister(6));
    live.CompressorRev = static_cast<std::int16_t>(reply.replyRegister(7));
    live.CompressorCurrent = signedTenths(reply.replyRegister(8));
    live.HeaterCurrent = signedTenths(reply.replyRegister(10));
    // Only the low byte of register 11 carries the status; the controller may set the high one.
    live.ForceOutputStatus = static_cast<std::uint8_t>(reply.replyRegister(11) & 0xFF);
    live.Temperature3 = signedTenths(reply.replyRegister(13));
}

#pragma once

#include <cstdint>

namespace climate::realtime {

// The controller's live state as the polling circle last read it. Speeds are RPM, temperatures
// deg C, the voltage V and the currents A; flags are 0 or 1. Everything starts at zero; the live
// display clears part of it when the link is lost.
struct LiveData {
    // Input registers 0 ... 13 (measurements).
    std::uint32_t InternalFan1Rev = 0;
    std::uint32_t InternalFan2Rev = 0;
    std::uint32_t ExternalFan1Rev = 0;
    std::uint32_t ExternalFan2Rev = 0;
    double Temperature1 = 0;
    double Temperature2 = 0;
    double SupplyVoltage = 0;
    std::int32_t CompressorRev = 0; // signed, not scaled
    double CompressorCurrent = 0;
    double HeaterCurrent = 0;
    std::uint8_t ForceOutputStatus = 0; // low byte of register 11
    double Temperature3 = 0;

    // Holding registers 41 and 42 (compressor settings).
    double CompressorSetTemp = 0;
    double CompressorDeltTemp = 0;

    // Coils 0 ... 5 and 12 (output states).
    std::uint8_t IntFan1Status = 0;
    std::uint8_t IntFan2Status = 0;
    std::uint8_t ExtFan1Status = 0;
    std::uint8_t ExtFan2Status = 0;
    std::uint8_t CompressorOn = 0;
    std::uint8_t HeaterOn = 0;
    std::uint8_t ForcedOutput = 0;

    // Discrete inputs 0 ... 17 (alarms); inputs 6, 8 and 9 are not used.
    std::uint8_t IntFan1Alarm = 0;
    std::uint8_t IntFan2Alarm = 0;
    std::uint8_t ExtFan1Alarm = 0;
    std::uint8_t ExtFan2Alarm = 0;
    std::uint8_t CompressorAlarm1 = 0;
    std::uint8_t CompressorAlarm2 = 0;
    std::uint8_t HeaterAlarm = 0;
    std::uint8_t TempSensor1Alarm = 0;
    std::uint8_t TempSensor2Alarm = 0;
    std::uint8_t VoltageAlarm1 = 0;
    std::uint8_t VoltageAlarm2 = 0;
    std::uint8_t HighTempAlarm = 0;
    std::uint8_t LowTempAlarm = 0;
    std::uint8_t HighPressureAlarm = 0;
    std::uint8_t LowPressureAlarm = 0;

    bool operator==(const LiveData&) const = default;
};

} // namespace climate::realtime

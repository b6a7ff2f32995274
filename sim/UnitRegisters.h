#pragma once

#include <string_view>

// Addresses of the controller's registers, coils and inputs that the unit model gives a meaning.
namespace sim::reg {

// Holding registers. Both fan groups share one layout at their base.
inline constexpr int InternalFanGroup = 0;
inline constexpr int ExternalFanGroup = 11;
inline constexpr int FanStepRev = 0;
inline constexpr int FanMaxRev = 1;
inline constexpr int FanMinRev = 2;
inline constexpr int FanStepTemp = 3;
inline constexpr int FanMaxTemp = 4;
inline constexpr int FanMinTemp = 5;
inline constexpr int FanStopTemp = 6;
inline constexpr int FanDeltTemp = 7;
inline constexpr int FanPulseNumber = 8;
inline constexpr int Fan1Enable = 9;
inline constexpr int Fan2Enable = 10;
inline constexpr int HeaterStartTemp = 22;
inline constexpr int HeaterDeltTemp = 23;
inline constexpr int HeaterMaxCurrent = 24;
inline constexpr int HeaterMinCurrent = 25;
inline constexpr int HeaterEnable = 26;
inline constexpr int Address = 27;
inline constexpr int HighTempLimit = 28;
inline constexpr int LowTempLimit = 29;
inline constexpr int DebugTemperature = 30;
inline constexpr int CalibrationTemp1 = 33;
inline constexpr int CalibrationTemp2 = 34;
inline constexpr int CalibrationCurrent = 35;
inline constexpr int CalibrationVoltage = 36;
inline constexpr int ExtInputEnable = 37;
inline constexpr int ExtInputType = 38;
inline constexpr int VoltageHighLimit = 39;
inline constexpr int VoltageLowLimit = 40;
inline constexpr int CompressorStartTemp = 41;
inline constexpr int CompressorDeltTemp = 42;
inline constexpr int CompressorMaxRpm = 43;
inline constexpr int HeatExchangerStartTemp = 44;
inline constexpr int HeatExchangerDeltTemp = 45;
inline constexpr int HeatExchangerMinDeltT = 46;

// Holding register 30 holding this value means "use the real sensor".
inline constexpr int DebugTemperatureOff = 1100;
inline constexpr int DebugTemperatureMin = -400;
inline constexpr int DebugTemperatureMax = 999;

// Input registers.
inline constexpr int InternalFan1Rev = 0;
inline constexpr int InternalFan2Rev = 1;
inline constexpr int ExternalFan1Rev = 2;
inline constexpr int ExternalFan2Rev = 3;
inline constexpr int Temperature1 = 4;
inline constexpr int Temperature2 = 5;
inline constexpr int SupplyVoltage = 6;
inline constexpr int CompressorRev = 7;
inline constexpr int CompressorCurrent = 8;
inline constexpr int HeaterCurrent = 10;
inline constexpr int ForceOutputStatus = 11;
inline constexpr int Temperature3 = 13;
inline constexpr int FirmwareText = 15;
inline constexpr int FirmwareTextRegisters = 12;

// Coils.
inline constexpr int InternalFan1Status = 0;
inline constexpr int ExternalFan1Status = 2;
inline constexpr int CompressorOn = 4;
inline constexpr int HeaterOn = 5;
inline constexpr int ForcedOutput = 12;

// Discrete inputs.
inline constexpr int VoltageHighAlarm = 12;
inline constexpr int VoltageLowAlarm = 13;
inline constexpr int HighTempAlarm = 14;
inline constexpr int LowTempAlarm = 15;

inline constexpr std::string_view DefaultFirmwareVersion = "DCAC-HEX V1.00";

} // namespace sim::reg

#pragma once

#include <cstdint>

namespace climate::config {

// The values a Set command stages for its request frame, each held in the width the controller's
// register layout gives it. Only values that passed the group's checks are ever stored here, so
// every field goes out on the wire exactly as held.

struct FanGroupParameters {
    std::int32_t StepRev = 0; // RPM
    std::int32_t MaxRev = 0;
    std::int32_t MinRev = 0;
    std::int16_t StepTemp = 0; // tenths of a degree
    std::int16_t MaxTemp = 0;
    std::int16_t MinTemp = 0;
    std::int16_t StopTemp = 0;
    std::int16_t DeltTemp = 0;
    std::uint8_t PluseNo = 0;
    std::uint8_t Fan1Enable = 0; // combo item: 0 Disable, 1 Enable
    std::uint8_t Fan2Enable = 0;

    friend bool operator==(const FanGroupParameters&, const FanGroupParameters&) = default;
};

struct HeaterParameters {
    std::int16_t StartTemp = 0;  // tenths of a degree
    std::uint8_t DeltTemp = 0;   // tenths of a degree
    std::int32_t MaxCurrent = 0; // tenths of an ampere
    std::int32_t MinCurrent = 0;
    std::uint8_t Enable = 0;

    friend bool operator==(const HeaterParameters&, const HeaterParameters&) = default;
};

struct TempAlarmParameters {
    std::int16_t HighTemp = 0; // tenths of a degree
    std::int16_t LowTemp = 0;

    friend bool operator==(const TempAlarmParameters&, const TempAlarmParameters&) = default;
};

struct CalibrationParameters {
    std::int16_t Tempr1 = 0;  // tenths of a degree
    std::int16_t Temp2 = 0;   // tenths of a degree
    std::int16_t Current = 0; // tenths of an ampere
    std::int16_t Voltage = 0; // tenths of a volt

    friend bool operator==(const CalibrationParameters&, const CalibrationParameters&) = default;
};

struct ExtInputParameters {
    std::int32_t Enable = 0; // combo item: 0 Disable, 1 Enable
    std::int32_t Type = 0;   // combo item: 0 NO, 1 NC

    friend bool operator==(const ExtInputParameters&, const ExtInputParameters&) = default;
};

struct VoltageAlarmParameters {
    std::int32_t HighValue = 0; // tenths of a volt
    std::int32_t LowValue = 0;

    friend bool operator==(const VoltageAlarmParameters&, const VoltageAlarmParameters&) = default;
};

struct CompressorParameters {
    std::int32_t StartTemp = 0; // tenths of a degree
    std::int32_t DeltTemp = 0;
    std::int32_t MaxRPM = 0; // RPM

    friend bool operator==(const CompressorParameters&, const CompressorParameters&) = default;
};

struct HeatExchangerParameters {
    std::int16_t StartTemp = 0; // tenths of a degree
    std::int16_t DeltTemp = 0;
    std::int16_t MinDeltT = 0;

    friend bool operator==(const HeatExchangerParameters&,
                           const HeatExchangerParameters&) = default;
};

struct ControllerParameters {
    FanGroupParameters InternalFan;
    FanGroupParameters ExternalFan;
    HeaterParameters Heater;
    std::int32_t Address = 0; // the controller's own slave address
    TempAlarmParameters TempAlarm;
    CalibrationParameters Calibration;
    ExtInputParameters ExtInput;
    VoltageAlarmParameters VoltageAlarm;
    CompressorParameters Compressor;
    HeatExchangerParameters HeatExchanger;

    friend bool operator==(const ControllerParameters&, const ControllerParameters&) = default;
};

} // namespace climate::config

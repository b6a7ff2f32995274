#include "FanCurveParameters.h"

namespace climate::curves {

float FanCurveParameters::temperatureFromRegister(std::uint16_t word) {
    const auto tenths = static_cast<std::int16_t>(word);
    return static_cast<float>(static_cast<long double>(tenths) * static_cast<long double>(0.1));
}

FanCurveParameters
FanCurveParameters::fromRegisters(std::span<const std::uint16_t, RegisterCount> registers) {
    FanCurveParameters parameters;
    parameters.StepRev = registers[0];
    parameters.MaxRev = registers[1];
    parameters.MinRev = registers[2];
    parameters.StepTemp = temperatureFromRegister(registers[3]);
    parameters.MaxTemp = temperatureFromRegister(registers[4]);
    parameters.MinTemp = temperatureFromRegister(registers[5]);
    parameters.StopTemp = temperatureFromRegister(registers[6]);
    parameters.DeltTemp = temperatureFromRegister(registers[7]);
    return parameters;
}

} // namespace climate::curves

#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace climate::curves {

// One fan group's parameters as read back from the controller for its curve. This is the curve
// view's own copy: the Configuration page keeps its own record of the same registers, and neither
// updates the other.
struct FanCurveParameters {
    // The registers of the group the curve decodes, from its first: the register table puts the
    // curve's fields at offsets 0 ... 7; the pulse count and fan enables behind them are read
    // with them but play no part in the curve.
    static constexpr std::size_t RegisterCount = 8;

    std::uint32_t StepRev = 0; // RPM
    std::uint32_t MaxRev = 0;  // RPM
    std::uint32_t MinRev = 0;  // RPM
    float StepTemp = 0;        // degrees C
    float MaxTemp = 0;
    float MinTemp = 0;
    float StopTemp = 0;
    float DeltTemp = 0;

    // Each field at the fan groups' offset of its register, decoded as the register table reads
    // it (speeds unsigned, temperatures signed tenths) and held in single precision.
    [[nodiscard]] static FanCurveParameters
    fromRegisters(std::span<const std::uint16_t, RegisterCount> registers);
    // A temperature register (signed tenths) as the curve holds it: the register table's value
    // rounded to single precision, which for every word is the single-precision rounding of the
    // word's product with 0.1 formed in extended precision.
    [[nodiscard]] static float temperatureFromRegister(std::uint16_t word);

    bool operator==(const FanCurveParameters&) const = default;
};

} // namespace climate::curves

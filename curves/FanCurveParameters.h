#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace climate::curves {

// One fan group's parameters as read back from the controller for its curve. This is the curve
// view's own copy: the Configuration page keeps its own record of the same registers, and neither
// updates the other.
struct FanCurveParameters {
    // Registers at offsets 0 ... 7 of the group; offsets 8 ... 10 (pulse count, fan enables) are
    // read with them but play no part in the curve.
    static constexpr std::size_t RegisterCount = 8;

    std::uint32_t StepRev = 0; // RPM
    std::uint32_t MaxRev = 0;  // RPM
    std::uint32_t MinRev = 0;  // RPM
    float StepTemp = 0;        // degrees C
    float MaxTemp = 0;
    float MinTemp = 0;
    float StopTemp = 0;
    float DeltTemp = 0;

    // Speeds are unsigned words; temperatures are signed tenths, held in single precision.
    [[nodiscard]] static FanCurveParameters
    fromRegisters(std::span<const std::uint16_t, RegisterCount> registers);
    // A temperature register (signed tenths) as the curve holds it: the product with 0.1 is
    // formed in extended precision and then rounded once to single precision.
    [[nodiscard]] static float temperatureFromRegister(std::uint16_t word);

    bool operator==(const FanCurveParameters&) const = default;
};

} // namespace climate::curves

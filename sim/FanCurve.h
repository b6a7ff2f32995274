#pragma once

#include <cstdint>
#include <span>

namespace sim {

// How a fan group drives its fans from one temperature. Built from the first eight registers of
// the group (StepRev, MaxRev, MinRev, StepTemp, MaxTemp, MinTemp, StopTemp, DeltTemp): the fan
// stops at StopTemp and restarts DeltTemp higher, runs at MinRev up to MinTemp, rises linearly to
// MaxRev at MaxTemp, holds MaxRev for StepTemp more and then steps up by StepRev.
class FanCurve {
public:
    static constexpr int RegisterCount = 8;

    explicit FanCurve(std::span<const std::uint16_t, RegisterCount> group);

    // Speed in RPM of a running fan at the temperature (tenths of a degree).
    [[nodiscard]] int runningSpeed(int tempTenths) const;

    // Stop/start hysteresis: whether a fan that is (or is not) running runs at the temperature.
    [[nodiscard]] bool runs(bool wasRunning, int tempTenths) const;

private:
    int stepRev_ = 0;
    int maxRev_ = 0;
    int minRev_ = 0;
    int stepTemp_ = 0;
    int maxTemp_ = 0;
    int minTemp_ = 0;
    int stopTemp_ = 0;
    int deltTemp_ = 0;
};

} // namespace sim

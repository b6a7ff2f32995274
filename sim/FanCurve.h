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
    int m_stepRev = 0;
    int m_maxRev = 0;
    int m_minRev = 0;
    int m_stepTemp = 0;
    int m_maxTemp = 0;
    int m_minTemp = 0;
    int m_stopTemp = 0;
    int m_deltTemp = 0;
};

} // namespace sim

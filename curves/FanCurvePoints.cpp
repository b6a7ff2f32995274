#include "FanCurvePoints.h"

#include "FanCurveParameters.h"

#include <cstdint>

namespace climate::curves {

QList<QPointF> fanCurvePoints(const FanCurveParameters& parameters) {
    constexpr double ArmDegrees = 1;
    constexpr std::int64_t ArmRpm = 50;
    constexpr double AxisEnd = 80;

    const double stop = parameters.StopTemp;
    const double start = stop + static_cast<double>(parameters.DeltTemp);
    const double stepAt = static_cast<double>(parameters.MaxTemp) + parameters.StepTemp;
    const auto minRev = static_cast<std::int64_t>(parameters.MinRev);
    const auto maxRev = static_cast<std::int64_t>(parameters.MaxRev);
    const std::int64_t apex = minRev / 2;
    const std::int64_t top = maxRev + static_cast<std::int64_t>(parameters.StepRev);

    const auto point = [](double x, std::int64_t y) { return QPointF(x, static_cast<double>(y)); };
    return {
        // Stopping edge with its downward arrowhead.
        point(stop, minRev),
        point(stop, apex),
        point(stop - ArmDegrees, apex + ArmRpm),
        point(stop, apex),
        point(stop + ArmDegrees, apex + ArmRpm),
        point(stop, apex),
        point(stop, 0),
        // Zero-speed floor, then the starting edge with its upward arrowhead.
        point(start, 0),
        point(start, apex),
        point(start, minRev),
        point(start, apex),
        point(start - ArmDegrees, apex - ArmRpm),
        point(start, apex),
        point(start + ArmDegrees, apex - ArmRpm),
        point(start, apex),
        point(start, minRev),
        // Top edge back to the stopping temperature, then the running characteristic.
        point(stop, minRev),
        point(parameters.MinTemp, minRev),
        point(parameters.MaxTemp, maxRev),
        point(stepAt, maxRev),
        point(stepAt, top),
        point(AxisEnd, top),
    };
}

} // namespace climate::curves

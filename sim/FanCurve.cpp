#include "FanCurve.h"

#include <algorithm>

namespace sim {

namespace {

int asSigned(std::uint16_t word) {
    return static_cast<std::int16_t>(word);
}

} // namespace

FanCurve::FanCurve(std::span<const std::uint16_t, RegisterCount> group)
    : stepRev_(group[0]), maxRev_(group[1]), minRev_(group[2]), stepTemp_(asSigned(group[3])),
      maxTemp_(asSigned(group[4])), minTemp_(asSigned(group[5])), stopTemp_(asSigned(group[6])),
      deltTemp_(asSigned(group[7])) {}

int FanCurve::runningSpeed(int tempTenths) const {
    int speed = 0;
    if (tempTenths >= maxTemp_ + stepTemp_)
        speed = maxRev_ + stepRev_;
    else if (tempTenths >= maxTemp_)
        speed = maxRev_;
    else if (tempTenths <= minTemp_)
        speed = minRev_;
    else // minTemp_ < tempTenths < maxTemp_, so the span is positive
        speed = minRev_ + (maxRev_ - minRev_) * (tempTenths - minTemp_) / (maxTemp_ - minTemp_);
    return std::clamp(speed, 0, 0xFFFF);
}

bool FanCurve::runs(bool wasRunning, int tempTenths) const {
    if (wasRunning)
        return tempTenths > stopTemp_;
    // Without a positive difference the fan would toggle at StopTemp on every tick.
    return tempTenths >= stopTemp_ + deltTemp_ && tempTenths > stopTemp_;
}

} // namespace sim

#include "FanCurve.h"

#include <algorithm>

namespace sim {

namespace {

int asSigned(std::uint16_t word) {
    return static_cast<std::int16_t>(word);
}

} // namespace

FanCurve::FanCurve(std::span<const std::uint16_t, RegisterCount> group)
    : m_stepRev(group[0]), m_maxRev(group[1]), m_minRev(group[2]), m_stepTemp(asSigned(group[3])),
      m_maxTemp(asSigned(group[4])), m_minTemp(asSigned(group[5])), m_stopTemp(asSigned(group[6])),
      m_deltTemp(asSigned(group[7])) {}

int FanCurve::runningSpeed(int tempTenths) const {
    int speed = 0;
    if (tempTenths >= m_maxTemp + m_stepTemp)
        speed = m_maxRev + m_stepRev;
    else if (tempTenths >= m_maxTemp)
        speed = m_maxRev;
    else if (tempTenths <= m_minTemp)
        speed = m_minRev;
    else // m_minTemp < tempTenths < m_maxTemp, so the span is positive
        speed = m_minRev + (m_maxRev - m_minRev) * (tempTenths - m_minTemp) / (m_maxTemp - m_minTemp);
    return std::clamp(speed, 0, 0xFFFF);
}

bool FanCurve::runs(bool wasRunning, int tempTenths) const {
    if (wasRunning)
        return tempTenths > m_stopTemp;
    // Without a positive difference the fan would toggle at StopTemp on every tick.
    return tempTenths >= m_stopTemp + m_deltTemp && tempTenths > m_stopTemp;
}

} // namespace sim

#include "ScaleMap.h"

#include <algorithm>
#include <cmath>

namespace climate::widgets {

ScaleMap::ScaleMap(double s1, double s2, double p1, double p2)
    : m_s1(s1), m_s2(s2), m_p1(p1), m_p2(p2) {
    updateFactor();
}

ScaleMap ScaleMap::dialAngles(double minimum, double maximum, double startAngle, double span) {
    return ScaleMap(minimum, maximum, startAngle, startAngle - span);
}

double ScaleMap::invTransform(double p) const {
    // A degenerate scale has no inverse; every paint position belongs to its single value.
    if (m_cnv == 0.0) {
        return m_s1;
    }
    return m_s1 + (p - m_p1) / m_cnv;
}

double ScaleMap::bound(double s) const {
    if (std::isnan(s)) {
        return m_s1;
    }
    return std::clamp(s, std::min(m_s1, m_s2), std::max(m_s1, m_s2));
}

void ScaleMap::updateFactor() {
    // An empty scale maps everything to p1 instead of dividing by zero.
    m_cnv = (m_s2 != m_s1) ? (m_p2 - m_p1) / (m_s2 - m_s1) : 0.0;
}

} // namespace climate::widgets

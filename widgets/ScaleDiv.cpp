#include "ScaleDiv.h"

#include "ValueText.h"

#include <algorithm>
#include <cmath>

namespace climate::widgets {

namespace {

void addMinorTicks(QList<double>& minor, double from, double to, int count) {
    for (int k = 1; k <= count; ++k)
        minor.append(from + (to - from) * k / (count + 1));
}

} // namespace

ScaleDiv ScaleDiv::divide(double minimum, double maximum, int majorCount, int minorPerInterval) {
    ScaleDiv div;
    majorCount = std::max(2, majorCount);
    minorPerInterval = std::max(0, minorPerInterval);
    for (int i = 0; i < majorCount; ++i) {
        // The last tick is set exactly, so no rounding leaves it short of the maximum.
        const double v =
            (i == majorCount - 1) ? maximum : minimum + (maximum - minimum) * i / (majorCount - 1);
        div.m_major.append(v);
    }
    for (int i = 0; i + 1 < div.m_major.size(); ++i)
        addMinorTicks(div.m_minor, div.m_major[i], div.m_major[i + 1], minorPerInterval);
    return div;
}

ScaleDiv ScaleDiv::divideRound(double minimum, double maximum, int maxMajorIntervals,
                               int minorPerInterval) {
    if (minimum > maximum)
        std::swap(minimum, maximum);
    const double step = roundStep(maximum - minimum, maxMajorIntervals);
    if (step <= 0.0)
        return divide(minimum, maximum, 2, 0);

    ScaleDiv div;
    const double eps = step * 1e-9;
    const double first = std::ceil((minimum - eps) / step) * step;
    for (double v = first; v <= maximum + eps; v += step)
        div.m_major.append(std::abs(v) < eps ? 0.0 : v);
    minorPerInterval = std::max(0, minorPerInterval);
    const double minorStep = step / (minorPerInterval + 1);
    // Minor ticks also fill the partial intervals at both ends of a range that is not round.
    for (double v = first - step; v <= maximum + eps; v += step) {
        for (int k = 1; k <= minorPerInterval; ++k) {
            const double m = v + k * minorStep;
            if (m >= minimum - eps && m <= maximum + eps)
                div.m_minor.append(m);
        }
    }
    return div;
}

double ScaleDiv::roundStep(double span, int maxIntervals) {
    span = std::abs(span);
    if (span == 0.0 || !std::isfinite(span))
        return 0.0;
    maxIntervals = std::max(1, maxIntervals);
    const double raw = span / maxIntervals;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        const double step = factor * magnitude;
        if (step >= raw * (1.0 - 1e-9))
            return step;
    }
    return 10.0 * magnitude;
}

int ScaleDiv::labelDecimals() const {
    for (int decimals = 0; decimals < 6; ++decimals) {
        const double factor = std::pow(10.0, decimals);
        const bool exact = std::all_of(m_major.cbegin(), m_major.cend(), [factor](double v) {
            const double scaled = v * factor;
            return std::abs(scaled - std::round(scaled)) < 1e-6 * std::max(1.0, std::abs(scaled));
        });
        if (exact)
            return decimals;
    }
    return 6;
}

QString ScaleDiv::label(double value) const {
    return formatInstrumentValue(value, labelDecimals());
}

} // namespace climate::widgets

#pragma once

#include <QList>
#include <QString>

namespace climate::widgets {

// Tick positions of a scale, as values: major ticks (labelled) and minor ticks between them.
class ScaleDiv {
public:
    ScaleDiv() = default;

    // `majorCount` evenly spaced major ticks including both ends (at least 2), and
    // `minorPerInterval` minor ticks inside each interval between two majors.
    [[nodiscard]] static ScaleDiv divide(double minimum, double maximum, int majorCount,
                                         int minorPerInterval);
    // Major ticks at whole multiples of a round step (1, 2, 2.5 or 5 × 10^n) chosen so that at
    // most `maxMajorIntervals` intervals fit the range; for scales whose ends are not round.
    [[nodiscard]] static ScaleDiv divideRound(double minimum, double maximum, int maxMajorIntervals,
                                              int minorPerInterval);
    // The smallest round step (1, 2, 2.5 or 5 × 10^n) that splits `span` into at most
    // `maxIntervals` parts.
    [[nodiscard]] static double roundStep(double span, int maxIntervals);

    [[nodiscard]] const QList<double>& majorTicks() const { return m_major; }
    [[nodiscard]] const QList<double>& minorTicks() const { return m_minor; }
    // Fewest decimals that write every major tick exactly (0..6).
    [[nodiscard]] int labelDecimals() const;
    [[nodiscard]] QString label(double value) const;

private:
    QList<double> m_major;
    QList<double> m_minor;
};

} // namespace climate::widgets

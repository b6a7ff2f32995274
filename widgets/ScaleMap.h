#pragma once

namespace climate::widgets {

// Linear map from a scale interval (values) to a paint interval (pixels or degrees). A plain,
// copyable value: the widgets map with it, the tests check it without any widget.
class ScaleMap {
public:
    ScaleMap() = default;
    ScaleMap(double s1, double s2, double p1, double p2);

    // A dial's map: angles in degrees, counter-clockwise from 3 o'clock. A rising value turns the
    // pointer clockwise, so `minimum` maps to `startAngle` and `maximum` to startAngle - span.
    [[nodiscard]] static ScaleMap dialAngles(double minimum, double maximum, double startAngle,
                                             double span);

    [[nodiscard]] double s1() const { return m_s1; }
    [[nodiscard]] double s2() const { return m_s2; }
    [[nodiscard]] double p1() const { return m_p1; }
    [[nodiscard]] double p2() const { return m_p2; }

    [[nodiscard]] double transform(double s) const { return m_p1 + (s - m_s1) * m_cnv; }
    [[nodiscard]] double invTransform(double p) const;
    // The value held inside the scale interval, then mapped: what an instrument draws for a value
    // outside its range. NaN maps to the start of the scale.
    [[nodiscard]] double boundedTransform(double s) const { return transform(bound(s)); }
    [[nodiscard]] double bound(double s) const;

private:
    void updateFactor();

    double m_s1 = 0.0;
    double m_s2 = 1.0;
    double m_p1 = 0.0;
    double m_p2 = 1.0;
    double m_cnv = 1.0;
};

} // namespace climate::widgets

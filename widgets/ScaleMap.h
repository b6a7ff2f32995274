#pragma once

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

    void setScaleInterval(double s1, double s2);
    void setPaintInterval(double p1, double p2);

    [[nodiscard]] double s1() const { return s1_; }
    [[nodiscard]] double s2() const { return s2_; }
    [[nodiscard]] double p1() const { return p1_; }
    [[nodiscard]] double p2() const { return p2_; }

    [[nodiscard]] double transform(double s) const { return p1_ + (s - s1_) * cnv_; }
    [[nodiscard]] double invTransform(double p) const;
    // The value held inside the scale interval, then mapped: what an instrument draws for a value
    // outside its range. NaN maps to the start of the scale.
    [[nodiscard]] double boundedTransform(double s) const { return transform(bound(s)); }
    [[nodiscard]] double bound(double s) const;

private:
    void updateFactor();

    double s1_ = 0.0;
    double s2_ = 1.0;
    double p1_ = 0.0;
    double p2_ = 1.0;
    double cnv_ = 1.0;
};

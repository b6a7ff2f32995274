#include "ScaleMap.h"

#include <algorithm>
#include <cmath>

ScaleMap::ScaleMap(double s1, double s2, double p1, double p2)
    : s1_(s1), s2_(s2), p1_(p1), p2_(p2) {
    updateFactor();
}

ScaleMap ScaleMap::dialAngles(double minimum, double maximum, double startAngle, double span) {
    return ScaleMap(minimum, maximum, startAngle, startAngle - span);
}

void ScaleMap::setScaleInterval(double s1, double s2) {
    s1_ = s1;
    s2_ = s2;
    updateFactor();
}

void ScaleMap::setPaintInterval(double p1, double p2) {
    p1_ = p1;
    p2_ = p2;
    updateFactor();
}

double ScaleMap::invTransform(double p) const {
    // A degenerate scale has no inverse; every paint position belongs to its single value.
    if (cnv_ == 0.0)
        return s1_;
    return s1_ + (p - p1_) / cnv_;
}

double ScaleMap::bound(double s) const {
    if (std::isnan(s))
        return s1_;
    return std::clamp(s, std::min(s1_, s2_), std::max(s1_, s2_));
}

void ScaleMap::updateFactor() {
    // An empty scale maps everything to p1 instead of dividing by zero.
    cnv_ = (s2_ != s1_) ? (p2_ - p1_) / (s2_ - s1_) : 0.0;
}

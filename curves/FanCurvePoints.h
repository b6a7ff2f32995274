#pragma once

#include <QList>
#include <QPointF>

namespace climate::curves {

struct FanCurveParameters;

// The 22 points of a fan group's speed curve, in drawing order (x in degrees C, y in RPM).
// Points 1-17 trace the stop/start hysteresis: the edge at StopTemp down to zero speed with a
// downward arrowhead at MinRev / 2 (integer halving), the zero-speed floor up to
// StopTemp + DeltTemp, the edge back up with an upward arrowhead, and the top edge at MinRev back
// to StopTemp. Points 17-22 trace the running characteristic: MinRev up to MinTemp, the ramp to
// MaxRev at MaxTemp, MaxRev for StepTemp more degrees, the step up by StepRev, held to 80 degrees.
// Arrowhead arms lie 1 degree to either side and 50 RPM off the apex.
//
// Temperature sums are taken from the single-precision values the parameters hold, added in
// double precision. Speeds are signed integer arithmetic, so a MinRev below 100 puts the arms of
// the upward arrowhead below zero instead of wrapping around. Nothing is sorted, clipped or
// validated: odd parameters make the trace double back, as the controller would behave.
[[nodiscard]] QList<QPointF> fanCurvePoints(const FanCurveParameters& parameters);

} // namespace climate::curves

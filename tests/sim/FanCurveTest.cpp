#include "FanCurve.h"

#include <gtest/gtest.h>

#include <array>

namespace sim {
namespace {

using Group = std::array<std::uint16_t, FanCurve::RegisterCount>;

// StepRev, MaxRev, MinRev, StepTemp, MaxTemp, MinTemp, StopTemp, DeltTemp
constexpr Group InternalDefaults{200, 2500, 1000, 50, 350, 250, 200, 30};

struct SpeedCase {
    const char* name;
    Group group;
    int temperature;
    int speed;
};

class FanCurveSpeed : public testing::TestWithParam<SpeedCase> {};

TEST_P(FanCurveSpeed, FollowsTheCurveOfTheGroup) {
    const SpeedCase& c = GetParam();
    EXPECT_EQ(FanCurve(c.group).runningSpeed(c.temperature), c.speed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FanCurveSpeed,
    testing::Values(
        SpeedCase{"FarBelowMinTemp", InternalDefaults, -100, 1000},
        SpeedCase{"AtMinTemp", InternalDefaults, 250, 1000},
        SpeedCase{"HalfwayUpTheRamp", InternalDefaults, 300, 1750},
        SpeedCase{"JustBelowMaxTemp", InternalDefaults, 349, 2485},
        SpeedCase{"AtMaxTemp", InternalDefaults, 350, 2500},
        SpeedCase{"EndOfStepTemp", InternalDefaults, 399, 2500},
        SpeedCase{"SteppedUp", InternalDefaults, 400, 2700},
        SpeedCase{"FarAbove", InternalDefaults, 800, 2700},
        // MaxTemp not above MinTemp: no ramp, no division by zero.
        SpeedCase{"NoRampBelow", Group{200, 2500, 1000, 50, 300, 300, 200, 30}, 299, 1000},
        SpeedCase{"NoRampAt", Group{200, 2500, 1000, 50, 300, 300, 200, 30}, 300, 2500},
        // Temperatures are signed: -20.0 and -10.0 degrees.
        SpeedCase{"NegativeRamp", Group{0, 2000, 1000, 0, 0xFF9C, 0xFF38, 0xFE70, 30}, -150, 1500},
        SpeedCase{"ClampedToRegisterRange", Group{200, 65535, 1000, 50, 350, 250, 200, 30}, 500,
                  65535}),
    [](const testing::TestParamInfo<SpeedCase>& testCase) { return testCase.param.name; });

struct HysteresisCase {
    const char* name;
    Group group;
    bool wasRunning;
    int temperature;
    bool runs;
};

class FanCurveHysteresis : public testing::TestWithParam<HysteresisCase> {};

TEST_P(FanCurveHysteresis, StopsAtStopTempAndRestartsDeltTempHigher) {
    const HysteresisCase& c = GetParam();
    EXPECT_EQ(FanCurve(c.group).runs(c.wasRunning, c.temperature), c.runs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FanCurveHysteresis,
    testing::Values(
        HysteresisCase{"RunningAboveStop", InternalDefaults, true, 201, true},
        HysteresisCase{"RunningStopsAtStop", InternalDefaults, true, 200, false},
        HysteresisCase{"RunningKeepsRunningInBand", InternalDefaults, true, 215, true},
        HysteresisCase{"StoppedStaysStoppedInBand", InternalDefaults, false, 229, false},
        HysteresisCase{"StoppedStartsAtStopPlusDelt", InternalDefaults, false, 230, true},
        // Without a difference the fan must not toggle at StopTemp itself.
        HysteresisCase{"ZeroDeltStaysStoppedAtStop", Group{200, 2500, 1000, 50, 350, 250, 200, 0},
                       false, 200, false},
        HysteresisCase{"ZeroDeltStartsAboveStop", Group{200, 2500, 1000, 50, 350, 250, 200, 0},
                       false, 201, true},
        HysteresisCase{"NegativeStopTemp", Group{0, 0, 0, 0, 0, 0, 0xFF38, 30}, true, -199, true}),
    [](const testing::TestParamInfo<HysteresisCase>& testCase) { return testCase.param.name; });

} // namespace
} // namespace sim

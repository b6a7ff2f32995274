#include "curves/FanCurvePoints.h"
#include "curves/FanCurveParameters.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

using namespace climate::curves;

namespace {

using Registers = std::array<std::uint16_t, FanCurveParameters::RegisterCount>;

// A temperature as the curve holds it: single precision, widened for the plot.
double single(float value) {
    return static_cast<double>(value);
}

struct CurveCase {
    std::string name;
    // StepRev, MaxRev, MinRev, StepTemp, MaxTemp, MinTemp, StopTemp, DeltTemp as on the wire.
    Registers registers;
    std::vector<std::array<double, 2>> points;
};

void PrintTo(const CurveCase& c, std::ostream* out) {
    *out << c.name;
}

const double Stop = single(25.3f);
const double Start = single(25.3f) + single(5.0f);

const CurveCase Cases[] = {
    {"OddMinRevHalvesDownwards",
     {500, 2700, 1001, 50, 450, 300, 253, 50},
     {{Stop, 1001},  {Stop, 500},      {Stop - 1, 550}, {Stop, 500},      {Stop + 1, 550},
      {Stop, 500},   {Stop, 0},        {Start, 0},      {Start, 500},     {Start, 1001},
      {Start, 500},  {Start - 1, 450}, {Start, 500},    {Start + 1, 450}, {Start, 500},
      {Start, 1001}, {Stop, 1001},     {30, 1001},      {45, 2700},       {50, 2700},
      {50, 3200},    {80, 3200}}},
    // MinRev 60: the upward arrowhead's arms fall below zero speed. Negative temperatures are
    // signed tenths (0xFF38 is -20.0, 0xFFEC is -2.0); MaxTemp + StepTemp beyond 80 makes the
    // trace double back at the end.
    {"LowMinRevAndNegativeTemperatures",
     {200, 3000, 60, 300, 600, 0xFFEC, 0xFF38, 30},
     {{-20, 60}, {-20, 30}, {-21, 80},  {-20, 30},  {-19, 80},  {-20, 30},  {-20, 0},  {-17, 0},
      {-17, 30}, {-17, 60}, {-17, 30},  {-18, -20}, {-17, 30},  {-16, -20}, {-17, 30}, {-17, 60},
      {-20, 60}, {-2, 60},  {60, 3000}, {90, 3000}, {90, 3200}, {80, 3200}}},
    // Speed registers are unsigned, and their sums do not wrap at 16 bits.
    {"FullScaleSpeedsStayUnsigned",
     {0xFFFF, 0xFFFF, 0xFFFF, 0, 0, 0, 0, 0},
     {{0, 65535}, {0, 32767}, {-1, 32817}, {0, 32767},  {1, 32817}, {0, 32767},
      {0, 0},     {0, 0},     {0, 32767},  {0, 65535},  {0, 32767}, {-1, 32717},
      {0, 32767}, {1, 32717}, {0, 32767},  {0, 65535},  {0, 65535}, {0, 65535},
      {0, 65535}, {0, 65535}, {0, 131070}, {80, 131070}}},
};

class FanCurvePointsTest : public testing::TestWithParam<CurveCase> {};

TEST_P(FanCurvePointsTest, TwentyTwoPointsInDrawingOrder) {
    const CurveCase& c = GetParam();
    const QList<QPointF> points = fanCurvePoints(FanCurveParameters::fromRegisters(c.registers));

    ASSERT_EQ(points.size(), static_cast<qsizetype>(c.points.size()));
    for (qsizetype i = 0; i < points.size(); ++i) {
        // Exact comparison: QPointF's own operator== is fuzzy.
        EXPECT_EQ(points[i].x(), c.points[i][0]) << "point " << i + 1;
        EXPECT_EQ(points[i].y(), c.points[i][1]) << "point " << i + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, FanCurvePointsTest, testing::ValuesIn(Cases),
                         [](const auto& testCase) { return testCase.param.name; });

TEST(FanCurveParametersTest, DecodesSpeedsUnsignedAndTemperaturesAsSignedTenths) {
    const FanCurveParameters p = FanCurveParameters::fromRegisters(
        Registers{300, 0x8000, 1001, 50, 450, 0xFFC9, 0xFF38, 25});
    EXPECT_EQ(p.StepRev, 300u);
    EXPECT_EQ(p.MaxRev, 32768u);
    EXPECT_EQ(p.MinRev, 1001u);
    EXPECT_EQ(p.StepTemp, 5.0f);
    EXPECT_EQ(p.MaxTemp, 45.0f);
    EXPECT_EQ(p.MinTemp, -5.5f);
    EXPECT_EQ(p.StopTemp, -20.0f);
    EXPECT_EQ(p.DeltTemp, 2.5f);
}

TEST(FanCurveParametersTest, TemperaturesAreHeldInSinglePrecision) {
    struct Row {
        std::uint16_t word;
        float expected;
    };
    for (const Row row : {Row{253, 25.3f}, Row{0xFF38, -20.0f}, Row{1, 0.1f}, Row{0xFFFF, -0.1f},
                          Row{0x7FFF, 3276.7f}, Row{0x8000, -3276.8f}}) {
        EXPECT_EQ(FanCurveParameters::temperatureFromRegister(row.word), row.expected)
            << "register " << row.word;
    }
    // What the plot receives is the single-precision value, not the decimal one.
    const QList<QPointF> points =
        fanCurvePoints(FanCurveParameters::fromRegisters(Registers{0, 0, 0, 0, 0, 0, 253, 0}));
    EXPECT_NE(points.front().x(), 25.3);
}

// The curve's temperatures are the single-precision rounding of the register's product with 0.1
// formed in extended precision, for every word the controller can send.
TEST(FanCurveParametersTest, EveryTemperatureWordRoundsLikeTheExtendedProduct) {
    for (std::uint32_t word = 0; word <= 0xFFFF; ++word) {
        const auto tenths = static_cast<std::int16_t>(word);
        const auto expected =
            static_cast<float>(static_cast<long double>(tenths) * static_cast<long double>(0.1));
        ASSERT_EQ(FanCurveParameters::temperatureFromRegister(static_cast<std::uint16_t>(word)),
                  expected)
            << "register " << word;
    }
}

} // namespace

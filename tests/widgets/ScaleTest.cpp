// Scale maths without any widget: value-to-angle and value-to-pixel maps, tick division, section
// lookup and value text.

#include "widgets/ScaleDiv.h"
#include "widgets/ScaleMap.h"
#include "widgets/ScaleSection.h"
#include "widgets/ValueText.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace climate::widgets;

namespace {

const QColor Yellow(255, 255, 0);
const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);

struct MapCase {
    const char* name;
    ScaleMap map;
    double value;
    double expected;
};

TEST(ScaleMap, TransformsLinearly) {
    const MapCase cases[] = {
        {"rising pixels", ScaleMap(0, 100, 0, 200), 50, 100},
        {"falling pixels", ScaleMap(0, 100, 200, 0), 25, 150},
        {"thermometer top", ScaleMap(-40, 80, 194, 26), 80, 26},
        {"thermometer bottom", ScaleMap(-40, 80, 194, 26), -40, 194},
        {"thermometer zero", ScaleMap(-40, 80, 194, 26), 0, 138},
        {"outside the range extrapolates", ScaleMap(0, 10, 0, 100), 12, 120},
        {"empty scale maps to its start", ScaleMap(5, 5, 10, 90), 7, 10},
    };
    for (const MapCase& c : cases) {
        EXPECT_DOUBLE_EQ(c.map.transform(c.value), c.expected) << c.name;
    }
}

TEST(ScaleMap, InverseUndoesTransform) {
    const ScaleMap maps[] = {ScaleMap(0, 3000, 220, -40), ScaleMap(-40, 80, 194, 26),
                             ScaleMap(0, 80, 180, 90)};
    for (const ScaleMap& map : maps) {
        for (const double v : {map.s1(), (map.s1() + map.s2()) / 3.0, map.s2()}) {
            EXPECT_NEAR(map.invTransform(map.transform(v)), v, 1e-9);
        }
    }
    EXPECT_DOUBLE_EQ(ScaleMap(5, 5, 10, 90).invTransform(50), 5);
}

TEST(ScaleMap, DialAnglesTurnClockwiseFromTheStart) {
    // Angles counter-clockwise from 3 o'clock: a rising value lowers the angle.
    const ScaleMap fan = ScaleMap::dialAngles(0, 3000, 220, 260);
    const ScaleMap voltage = ScaleMap::dialAngles(0, 80, 180, 90);
    const MapCase cases[] = {
        {"fan minimum at 220", fan, 0, 220},
        {"fan middle at 12 o'clock", fan, 1500, 90},
        {"fan maximum at -40", fan, 3000, -40},
        {"fan section edge", fan, 1000, 220 - 260.0 / 3},
        {"voltage minimum at 9", voltage, 0, 180},
        {"voltage middle", voltage, 40, 135},
        {"voltage maximum at 12", voltage, 80, 90},
    };
    for (const MapCase& c : cases) {
        EXPECT_NEAR(c.map.transform(c.value), c.expected, 1e-9) << c.name;
    }
}

TEST(ScaleMap, BoundedTransformHoldsValuesInsideTheScale) {
    const ScaleMap fan = ScaleMap::dialAngles(0, 3000, 220, 260);
    const MapCase cases[] = {
        {"below", fan, -500, 220},
        {"above", fan, 3500, -40},
        {"infinity", fan, std::numeric_limits<double>::infinity(), -40},
        {"not a number", fan, std::numeric_limits<double>::quiet_NaN(), 220},
        {"inside", fan, 1500, 90},
        {"falling paint interval", ScaleMap(-40, 80, 194, 26), 100, 26},
    };
    for (const MapCase& c : cases) {
        EXPECT_DOUBLE_EQ(c.map.boundedTransform(c.value), c.expected) << c.name;
    }
}

TEST(ScaleDiv, DividesIntoEvenMajorTicks) {
    struct Case {
        double min, max;
        int majors, minors;
        QList<double> expectedMajors;
        qsizetype expectedMinorCount;
    };
    const Case cases[] = {
        {0, 35, 6, 4, {0, 7, 14, 21, 28, 35}, 20},
        {0, 80, 5, 4, {0, 20, 40, 60, 80}, 16},
        {0, 3000, 4, 4, {0, 1000, 2000, 3000}, 12},
        {0, 10, 6, 1, {0, 2, 4, 6, 8, 10}, 5},
        {0, 10, 1, 0, {0, 10}, 0}, // fewer than two majors is taken as two
    };
    for (const Case& c : cases) {
        const ScaleDiv div = ScaleDiv::divide(c.min, c.max, c.majors, c.minors);
        ASSERT_EQ(div.majorTicks().size(), c.expectedMajors.size()) << c.min << ".." << c.max;
        for (qsizetype i = 0; i < c.expectedMajors.size(); ++i) {
            EXPECT_NEAR(div.majorTicks()[i], c.expectedMajors[i], 1e-9);
        }
        EXPECT_EQ(div.minorTicks().size(), c.expectedMinorCount);
        // The last major tick is the maximum exactly, not a rounding short of it.
        EXPECT_EQ(div.majorTicks().back(), c.max);
    }
    const ScaleDiv current = ScaleDiv::divide(0, 35, 6, 4);
    EXPECT_NEAR(current.minorTicks().front(), 1.4, 1e-9);
    EXPECT_NEAR(current.minorTicks().back(), 33.6, 1e-9);
}

TEST(ScaleDiv, RoundDivisionPutsTicksOnRoundValues) {
    const ScaleDiv thermometer = ScaleDiv::divideRound(-40, 80, 6, 1);
    EXPECT_EQ(thermometer.majorTicks(), (QList<double>{-40, -20, 0, 20, 40, 60, 80}));
    EXPECT_EQ(thermometer.minorTicks(), (QList<double>{-30, -10, 10, 30, 50, 70}));

    // A range whose ends are not round: ticks only at round values inside it, minor ticks filling
    // the partial interval at the start.
    const ScaleDiv plot = ScaleDiv::divideRound(-45, 80, 8, 1);
    EXPECT_EQ(plot.majorTicks(), (QList<double>{-40, -20, 0, 20, 40, 60, 80}));
    EXPECT_EQ(plot.minorTicks().front(), -30);
}

TEST(ScaleDiv, RoundStepIsTheSmallestRoundValueThatFits) {
    struct Case {
        double span;
        int intervals;
        double expected;
    };
    const Case cases[] = {
        {125, 8, 20}, {5500, 8, 1000}, {5500, 11, 500}, {10, 5, 2}, {1, 4, 0.25},
        {120, 6, 20}, {100, 4, 25},    {7, 7, 1},       {0, 5, 0},  {-125, 8, 20},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(ScaleDiv::roundStep(c.span, c.intervals), c.expected)
            << c.span << " in " << c.intervals;
    }
}

TEST(ScaleDiv, LabelsUseTheFewestDecimalsThatShowEveryTick) {
    struct Case {
        ScaleDiv div;
        QStringList expected;
    };
    const Case cases[] = {
        {ScaleDiv::divide(0, 3000, 4, 0), {"0", "1000", "2000", "3000"}},
        {ScaleDiv::divide(0, 35, 6, 0), {"0", "7", "14", "21", "28", "35"}},
        {ScaleDiv::divide(0, 1, 5, 0), {"0.00", "0.25", "0.50", "0.75", "1.00"}},
        {ScaleDiv::divide(0, 1.5, 4, 0), {"0.0", "0.5", "1.0", "1.5"}},
        {ScaleDiv::divideRound(-40, 80, 6, 0), {"-40", "-20", "0", "20", "40", "60", "80"}},
    };
    for (const Case& c : cases) {
        QStringList labels;
        for (const double v : c.div.majorTicks()) {
            labels.append(c.div.label(v));
        }
        EXPECT_EQ(labels, c.expected);
    }
}

TEST(ScaleSection, ColourLookupAtBoundaries) {
    const QList<ScaleSection> fan = {{0, 1000, Yellow}, {1000, 2700, Green}, {2700, 3000, Red}};
    struct Case {
        double value;
        QColor expected;
    };
    const Case cases[] = {
        {0, Yellow},      {999.9, Yellow},    {1000, Green},
        {2699.9, Green},  {2700, Red},        {3000, Red},
        {-0.1, QColor()}, {3000.1, QColor()}, {std::numeric_limits<double>::quiet_NaN(), QColor()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sectionColorAt(fan, c.value), c.expected) << c.value;
    }
}

TEST(ScaleSection, LookupFollowsWhatIsPainted) {
    // Later sections cover earlier ones; a reversed section still covers its stretch.
    const QList<ScaleSection> overlapping = {{0, 100, Yellow}, {40, 60, Red}};
    EXPECT_EQ(sectionColorAt(overlapping, 50), Red);
    EXPECT_EQ(sectionColorAt(overlapping, 70), Yellow);
    EXPECT_EQ(sectionColorAt({{60, 40, Green}}, 50), Green);
    // A gap between sections has no colour, even at the end of the lower one.
    const QList<ScaleSection> gap = {{0, 10, Yellow}, {15, 20, Red}};
    EXPECT_FALSE(sectionColorAt(gap, 10).isValid());
    EXPECT_FALSE(sectionColorAt(gap, 12).isValid());
    EXPECT_EQ(sectionColorAt(gap, 20), Red);
    EXPECT_FALSE(sectionColorAt({}, 5).isValid());
}

TEST(ScaleSection, LastSectionAlwaysReachesTheMaximum) {
    struct Case {
        const char* name;
        QList<ScaleSection> given;
        QList<ScaleSection> expected;
    };
    const Case cases[] = {
        {"short last section stretched",
         {{0, 1000, Yellow}, {1000, 2000, Green}},
         {{0, 1000, Yellow}, {1000, 3000, Green}}},
        {"long last section cut", {{0, 3500, Red}}, {{0, 3000, Red}}},
        {"reversed section ordered", {{2000, 500, Green}}, {{500, 3000, Green}}},
        {"section beyond the maximum shrinks to nothing", {{3200, 3500, Red}}, {{3000, 3000, Red}}},
        {"no sections", {}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(sectionsReachingMaximum(c.given, 3000), c.expected) << c.name;
    }
}

TEST(ValueText, WritesValueAndUnit) {
    struct Case {
        double value;
        int decimals;
        QString unit;
        QString expected;
    };
    const Case cases[] = {
        {25.3, 1, "℃", "25.3 ℃"},     {-10, 1, "℃", "-10.0 ℃"}, {12.5, 1, "A", "12.5 A"},
        {1450, 0, "RPM", "1450 RPM"}, {-3.7, 0, "", "-4"},      {0, 1, "V", "0.0 V"},
        {-0.04, 1, "V", "0.0 V"},     {-0.4, 0, "", "0"},       {48.25, 3, "V", "48.250 V"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatInstrumentValue(c.value, c.decimals, c.unit), c.expected) << c.value;
    }
}

TEST(ValueText, DecimalPointIgnoresTheLocale) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString text = formatInstrumentValue(1234.5, 1, QStringLiteral("V"));
    QLocale::setDefault(previous);
    EXPECT_EQ(text, QStringLiteral("1234.5 V"));
}

} // namespace

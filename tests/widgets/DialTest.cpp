#include "widgets/Dial.h"
#include "ImageProbe.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <limits>

using namespace climate::widgets;

namespace {

const QColor Yellow(255, 255, 0);
const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);
const QSize FanSize(150, 130);
const QSize QuarterSize(145, 110);

bool isPointerBlue(const QColor& c) {
    return c.blue() > 150 && c.red() < 110 && c.green() < 110;
}

bool isMagenta(const QColor& c) {
    return c.red() > 200 && c.blue() > 200 && c.green() < 80;
}

bool isCyan(const QColor& c) {
    return c.green() > 200 && c.blue() > 200 && c.red() < 80;
}

// A fan dial as the window sets it up.
class FanDial : public ::testing::Test {
protected:
    FanDial() {
        dial.setRange(0, 3000);
        dial.setSections({{0, 1000, Yellow}, {1000, 2700, Green}, {2700, 3000, Red}});
        dial.setArc(220, 260);
    }
    Dial dial;
};

TEST_F(FanDial, PositionReadsBackAndNotifiesOnlyOnChange) {
    QSignalSpy spy(&dial, &Dial::positionChanged);
    dial.setPosition(1450);
    dial.setPosition(1450);
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(spy.at(0).at(0).toDouble(), 1450.0);
    EXPECT_EQ(dial.position(), 1450.0);

    dial.setPosition(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(spy.size(), 1);
    EXPECT_EQ(dial.position(), 1450.0);
}

TEST_F(FanDial, PositionOutsideTheRangeIsHeldButDrawnAtTheEnd) {
    dial.setPosition(5000);
    EXPECT_EQ(dial.position(), 5000.0);
    const QImage beyondMaximum = ImageProbe::grab(dial, FanSize);
    dial.setPosition(3000);
    const QImage atMaximum = ImageProbe::grab(dial, FanSize);
    dial.setPosition(-100);
    EXPECT_EQ(dial.position(), -100.0);
    const QImage belowMinimum = ImageProbe::grab(dial, FanSize);
    dial.setPosition(0);
    const QImage atMinimum = ImageProbe::grab(dial, FanSize);

    EXPECT_EQ(beyondMaximum, atMaximum);
    EXPECT_EQ(belowMinimum, atMinimum);
    EXPECT_NE(atMinimum, atMaximum);
}

TEST_F(FanDial, PointerTurnsClockwiseFromLowerLeftToLowerRight) {
    dial.setPointerColor(QColor(0, 0, 255));
    dial.setPosition(0);
    const QPointF atMinimum = ImageProbe::centroid(ImageProbe::grab(dial, FanSize), isPointerBlue);
    dial.setPosition(1500);
    const QPointF atMiddle = ImageProbe::centroid(ImageProbe::grab(dial, FanSize), isPointerBlue);
    dial.setPosition(3000);
    const QPointF atMaximum = ImageProbe::centroid(ImageProbe::grab(dial, FanSize), isPointerBlue);

    ASSERT_GE(atMinimum.x(), 0.0);
    const double centreX = FanSize.width() / 2.0;
    // Start at 220° (lower left), through 12 o'clock, to -40° (lower right).
    EXPECT_LT(atMinimum.x(), centreX - 10);
    EXPECT_GT(atMaximum.x(), centreX + 10);
    EXPECT_NEAR(atMiddle.x(), centreX, 4);
    EXPECT_LT(atMiddle.y(), atMinimum.y() - 10);
    EXPECT_LT(atMiddle.y(), atMaximum.y() - 10);
}

TEST(QuarterDial, PointerTurnsFromNineToTwelveOClock) {
    Dial dial;
    dial.setRange(0, 80);
    dial.setArc(180, 90);
    dial.setPointerStyle(Dial::PointerStyle::ArrowLine);
    dial.setPointerColor(QColor(0, 0, 255));
    dial.setPosition(0);
    const QPointF atMinimum =
        ImageProbe::centroid(ImageProbe::grab(dial, QuarterSize), isPointerBlue);
    dial.setPosition(80);
    const QPointF atMaximum =
        ImageProbe::centroid(ImageProbe::grab(dial, QuarterSize), isPointerBlue);
    ASSERT_GE(atMinimum.x(), 0.0);
    ASSERT_GE(atMaximum.x(), 0.0);
    // Horizontal to the left of the pivot at the minimum, straight up at the maximum.
    EXPECT_LT(atMinimum.x(), atMaximum.x() - 15);
    EXPECT_GT(atMinimum.y(), atMaximum.y() + 15);
}

TEST_F(FanDial, LastSectionReachesTheMaximum) {
    dial.setSections({{0, 1000, Yellow}, {1000, 2000, Green}});
    EXPECT_EQ(dial.sections().back().to, 3000.0);
    EXPECT_EQ(dial.sectionColorAt(2900), Green);

    // Widening the range stretches the last section with it.
    dial.setRange(0, 4000);
    EXPECT_EQ(dial.sections().back().to, 4000.0);
    EXPECT_EQ(dial.sectionColorAt(3900), Green);
    EXPECT_EQ(dial.sectionColorAt(500), Yellow);
}

TEST_F(FanDial, NewSectionsReplaceTheCachedScale) {
    dial.setSections({{0, 3000, QColor(255, 0, 255)}});
    const QImage before = ImageProbe::grab(dial, FanSize);
    dial.setSections({{0, 3000, QColor(0, 255, 255)}});
    const QImage after = ImageProbe::grab(dial, FanSize);

    EXPECT_GT(ImageProbe::count(before, isMagenta), 100);
    EXPECT_EQ(ImageProbe::count(after, isMagenta), 0);
    EXPECT_GT(ImageProbe::count(after, isCyan), 100);
}

TEST(Dial, RangeAndArcAreKeptSane) {
    Dial dial;
    dial.setRange(80, 0);
    EXPECT_EQ(dial.minimum(), 0.0);
    EXPECT_EQ(dial.maximum(), 80.0);
    dial.setArc(180, 500);
    EXPECT_EQ(dial.spanAngle(), 360.0);
    dial.setArc(180, -5);
    EXPECT_EQ(dial.spanAngle(), 1.0);
    EXPECT_EQ(dial.startAngle(), 180.0);
    dial.setMajorTicks(1);
    EXPECT_EQ(dial.majorTicks(), 2);
}

TEST(Dial, SizeHintFollowsTheArc) {
    Dial fan;
    fan.setArc(220, 260);
    Dial quarter;
    quarter.setArc(180, 90);
    // A 260° dial is wider than tall (flat chin), a 90° one about square.
    EXPECT_GT(fan.sizeHint().width(), fan.sizeHint().height());
    EXPECT_NEAR(quarter.sizeHint().width(), quarter.sizeHint().height(), 3);
    EXPECT_LE(fan.minimumSizeHint().width(), fan.sizeHint().width());
}

} // namespace

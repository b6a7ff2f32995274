#include "widgets/RotarySwitch.h"
#include "ImageProbe.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace climate::widgets;

namespace {

const QSize Size(100, 80);

bool isPointerBlue(const QColor& c) {
    return c.blue() > 180 && c.red() < 80 && c.green() > 60 && c.green() < 190;
}

// The heater's two-position switch, set by the program to "Off".
class HeaterSwitch : public ::testing::Test {
protected:
    HeaterSwitch() {
        rotary.setPositionLabels({QStringLiteral("On"), QStringLiteral("Off")});
        rotary.setPointerColor(QColor(0, 128, 255));
        rotary.setPosition(1);
        rotary.resize(Size);
    }
    RotarySwitch rotary;
};

TEST_F(HeaterSwitch, ProgramSetsPositionWithinTheLabels) {
    EXPECT_EQ(rotary.position(), 1);
    EXPECT_EQ(rotary.positionLabel(), QStringLiteral("Off"));
    QSignalSpy spy(&rotary, &RotarySwitch::positionChanged);
    rotary.setPosition(5);
    EXPECT_EQ(rotary.position(), 1); // held at the last label: no change
    rotary.setPosition(-1);
    EXPECT_EQ(rotary.position(), 0);
    EXPECT_EQ(rotary.positionLabel(), QStringLiteral("On"));
    rotary.setPosition(0);
    EXPECT_EQ(spy.size(), 1);
}

TEST_F(HeaterSwitch, TurningByKeyChangesOnlyThePicture) {
    QSignalSpy programmed(&rotary, &RotarySwitch::positionChanged);
    QSignalSpy shown(&rotary, &RotarySwitch::displayedPositionChanged);
    QTest::keyClick(&rotary, Qt::Key_Left);
    EXPECT_EQ(rotary.displayedPosition(), 0);
    EXPECT_EQ(rotary.displayedLabel(), QStringLiteral("On"));
    EXPECT_EQ(rotary.position(), 1);
    EXPECT_EQ(rotary.positionLabel(), QStringLiteral("Off"));
    EXPECT_EQ(programmed.size(), 0);
    EXPECT_EQ(shown.size(), 1);

    // Setting it again, even to the same position, brings the picture back.
    rotary.setPosition(1);
    EXPECT_EQ(rotary.displayedPosition(), 1);
    EXPECT_EQ(programmed.size(), 0);
}

TEST_F(HeaterSwitch, TurningByMouseChangesOnlyThePicture) {
    // "On" sits up and to the left of the knob, "Off" up and to the right.
    QTest::mouseClick(&rotary, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(rotary.displayedPosition(), 0);
    EXPECT_EQ(rotary.position(), 1);
    QTest::mouseClick(&rotary, Qt::LeftButton, {}, QPoint(Size.width() - 3, 3));
    EXPECT_EQ(rotary.displayedPosition(), 1);
}

TEST_F(HeaterSwitch, PictureShowsTheDisplayedPosition) {
    rotary.turnTo(0);
    const QImage on = ImageProbe::grab(rotary, Size);
    rotary.turnTo(1);
    const QImage off = ImageProbe::grab(rotary, Size);
    const QRect left(0, 0, Size.width() / 2, Size.height());
    const QRect right(Size.width() / 2, 0, Size.width() / 2, Size.height());
    EXPECT_GT(ImageProbe::count(on, isPointerBlue, left),
              ImageProbe::count(on, isPointerBlue, right) + 5);
    EXPECT_GT(ImageProbe::count(off, isPointerBlue, right),
              ImageProbe::count(off, isPointerBlue, left) + 5);
}

TEST(RotarySwitch, FewerLabelsPullThePositionIn) {
    RotarySwitch rotary;
    rotary.setPositionLabels(
        {QStringLiteral("On"), QStringLiteral("Off"), QStringLiteral("Enable")});
    rotary.setPosition(2);
    QSignalSpy spy(&rotary, &RotarySwitch::positionChanged);
    rotary.setPositionLabels({QStringLiteral("On"), QStringLiteral("Off")});
    EXPECT_EQ(rotary.position(), 1);
    EXPECT_EQ(rotary.displayedPosition(), 1);
    EXPECT_EQ(spy.size(), 1);
    rotary.setPositionLabels({});
    EXPECT_EQ(rotary.position(), 0);
    EXPECT_TRUE(rotary.positionLabel().isEmpty());
}

TEST(RotarySwitch, PositionsSpreadSymmetrically) {
    RotarySwitch rotary;
    rotary.setPositionLabels({QStringLiteral("On"), QStringLiteral("Off")});
    EXPECT_EQ(rotary.positionAngle(0), -45.0);
    EXPECT_EQ(rotary.positionAngle(1), 45.0);
    rotary.setPositionLabels(
        {QStringLiteral("On"), QStringLiteral("Off"), QStringLiteral("Enable")});
    EXPECT_EQ(rotary.positionAngle(0), -45.0);
    EXPECT_EQ(rotary.positionAngle(1), 0.0);
    EXPECT_EQ(rotary.positionAngle(2), 45.0);
}

} // namespace

#include "widgets/Thermometer.h"
#include "ImageProbe.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace climate::widgets;

namespace {

const QSize Size(40, 150);

bool isLiquid(const QColor& c) {
    return c.blue() > 120 && c.red() < 90 && c.green() < 90;
}

class Thermometer40To80 : public ::testing::Test {
protected:
    Thermometer40To80() {
        thermometer.setRange(-40, 80);
        thermometer.setLiquidColor(QColor(0, 0, 230));
    }
    int liquidAt(double value) {
        thermometer.setPosition(value);
        return ImageProbe::count(ImageProbe::grab(thermometer, Size), isLiquid);
    }
    // Topmost row that shows liquid.
    int columnTopAt(double value) {
        thermometer.setPosition(value);
        const QImage image = ImageProbe::grab(thermometer, Size);
        for (int y = 0; y < image.height(); ++y) {
            if (ImageProbe::count(image, isLiquid, QRect(0, y, image.width(), 1)) > 0) {
                return y;
            }
        }
        return -1;
    }
    Thermometer thermometer;
};

TEST_F(Thermometer40To80, PositionReadsBackAndNotifiesOnlyOnChange) {
    QSignalSpy spy(&thermometer, &Thermometer::positionChanged);
    thermometer.setPosition(25.3);
    thermometer.setPosition(25.3);
    thermometer.setPosition(-10);
    ASSERT_EQ(spy.size(), 2);
    EXPECT_EQ(spy.at(1).at(0).toDouble(), -10.0);
    EXPECT_EQ(thermometer.position(), -10.0);
}

TEST_F(Thermometer40To80, ColumnGrowsWithTheValue) {
    const int atMinimum = liquidAt(-40);
    const int atZero = liquidAt(0);
    const int atForty = liquidAt(40);
    const int atMaximum = liquidAt(80);
    EXPECT_GT(atMinimum, 0); // the bulb is always full
    EXPECT_LT(atMinimum, atZero);
    EXPECT_LT(atZero, atForty);
    EXPECT_LT(atForty, atMaximum);

    // The column's top moves up by the same amount for each equal step.
    const int top0 = columnTopAt(0);
    const int top40 = columnTopAt(40);
    const int top80 = columnTopAt(80);
    EXPECT_NEAR(top0 - top40, top40 - top80, 2);
    EXPECT_GT(top0 - top40, 20);
}

TEST_F(Thermometer40To80, ValueOutsideTheRangeIsHeldButDrawnAtTheEnd) {
    const int atMaximum = liquidAt(80);
    EXPECT_EQ(liquidAt(200), atMaximum);
    EXPECT_EQ(thermometer.position(), 200.0);
    const int atMinimum = liquidAt(-40);
    EXPECT_EQ(liquidAt(-100), atMinimum);
    EXPECT_EQ(thermometer.position(), -100.0);
}

TEST_F(Thermometer40To80, NewRangeRedrawsTheColumn) {
    const int halfWay = liquidAt(20);
    thermometer.setRange(20, 120);
    EXPECT_LT(liquidAt(20), halfWay);
    thermometer.setRange(120, -80);
    EXPECT_EQ(thermometer.minimum(), -80.0);
    EXPECT_EQ(thermometer.maximum(), 120.0);
}

} // namespace

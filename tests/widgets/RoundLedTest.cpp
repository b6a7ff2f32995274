#include "widgets/RoundLed.h"
#include "ImageProbe.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace climate::widgets;

namespace {

const QSize Size(16, 16);

QColor centreOf(RoundLed& led) {
    return ImageProbe::grab(led, Size).pixelColor(8, 9);
}

TEST(RoundLed, NotifiesOnlyOnChange) {
    RoundLed led;
    QSignalSpy spy(&led, &RoundLed::activeChanged);
    EXPECT_FALSE(led.isActive());
    led.setActive(false);
    led.setActive(true);
    led.setActive(true);
    led.setActive(false);
    ASSERT_EQ(spy.size(), 2);
    EXPECT_TRUE(spy.at(0).at(0).toBool());
    EXPECT_FALSE(spy.at(1).at(0).toBool());
    EXPECT_FALSE(led.isActive());
}

TEST(RoundLed, LitShowsItsColourAndUnlitTheSameHueDimmed) {
    struct Case {
        QColor lit;
        int channel; // 0 red, 1 green
    };
    const Case cases[] = {{QColor(0, 255, 0), 1}, {QColor(255, 0, 0), 0}};
    for (const Case& c : cases) {
        RoundLed led;
        led.setActiveColor(c.lit);
        led.setActive(true);
        const QColor lit = centreOf(led);
        led.setActive(false);
        const QColor unlit = centreOf(led);

        const int litMain = c.channel == 0 ? lit.red() : lit.green();
        const int litOther = c.channel == 0 ? lit.green() : lit.red();
        EXPECT_GT(litMain, 200) << c.lit.name().toStdString();
        EXPECT_LT(litOther, 130) << c.lit.name().toStdString();
        EXPECT_LT(lit.blue(), 130);

        const int unlitMain = c.channel == 0 ? unlit.red() : unlit.green();
        const int unlitOther = c.channel == 0 ? unlit.green() : unlit.red();
        EXPECT_LT(ImageProbe::brightness(unlit), ImageProbe::brightness(lit) / 2);
        EXPECT_GT(unlitMain, unlitOther + 30) << "unlit keeps the hue";
        EXPECT_EQ(led.inactiveColor().hue(), c.lit.hue());
        EXPECT_LT(led.inactiveColor().value(), c.lit.value() / 2);
    }
}

TEST(RoundLed, NewColourReplacesTheCachedLamp) {
    RoundLed led;
    led.setActiveColor(QColor(255, 0, 0));
    led.setActive(true);
    const QColor red = centreOf(led);
    led.setActiveColor(QColor(0, 255, 0));
    const QColor green = centreOf(led);
    EXPECT_GT(red.red(), 200);
    EXPECT_GT(green.green(), 200);
    EXPECT_LT(green.red(), 130);
}

} // namespace

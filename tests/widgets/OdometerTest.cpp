#include "widgets/Odometer.h"
#include "ImageProbe.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <limits>

using namespace climate::widgets;

namespace {

TEST(Odometer, ShowsFourWholeDigits) {
    struct Case {
        double value;
        double held;
        const char* shown;
    };
    const Case cases[] = {
        {0, 0, "0000"},
        {7, 7, "0007"},
        {1450, 1450, "1450"},
        {1450.4, 1450.4, "1450"},
        {1450.6, 1450.6, "1451"},
        {9999, 9999, "9999"},
        {-5, 0, "0000"},
        {-0.4, 0, "0000"},
        {12345, 12345, "2345"},
        {9999.6, 9999.6, "0000"},
        {1e12 + 42, 1e12 + 42, "0042"},
    };
    for (const Case& c : cases) {
        Odometer odometer;
        odometer.setValue(c.value);
        EXPECT_EQ(odometer.value(), c.held) << c.value;
        EXPECT_EQ(odometer.displayText(), QString::fromLatin1(c.shown)) << c.value;
    }
}

TEST(Odometer, NotifiesOnlyWhenTheHeldValueChanges) {
    Odometer odometer;
    QSignalSpy spy(&odometer, &Odometer::valueChanged);
    odometer.setValue(-5); // held as 0, which it already was
    EXPECT_EQ(spy.size(), 0);
    odometer.setValue(1450);
    odometer.setValue(1450);
    odometer.setValue(std::numeric_limits<double>::infinity());
    odometer.setValue(std::numeric_limits<double>::quiet_NaN());
    ASSERT_EQ(spy.size(), 1);
    EXPECT_EQ(odometer.value(), 1450.0);
    odometer.setValue(-1);
    ASSERT_EQ(spy.size(), 2);
    EXPECT_EQ(spy.at(1).at(0).toDouble(), 0.0);
}

TEST(Odometer, DrawsWhiteDigitsOnDarkDrums) {
    Odometer odometer;
    auto isWhite = [](const QColor& c) { return ImageProbe::brightness(c) > 600; };
    auto isDark = [](const QColor& c) { return ImageProbe::brightness(c) < 200; };
    odometer.setValue(1111);
    const QImage ones = ImageProbe::grab(odometer, QSize(70, 24));
    odometer.setValue(8888);
    const QImage eights = ImageProbe::grab(odometer, QSize(70, 24));

    EXPECT_GT(ImageProbe::count(eights, isDark), 70 * 24 / 2);
    EXPECT_GT(ImageProbe::count(ones, isWhite), 10);
    // An 8 lights more of a drum than a 1.
    EXPECT_GT(ImageProbe::count(eights, isWhite), ImageProbe::count(ones, isWhite) * 3 / 2);
}

} // namespace

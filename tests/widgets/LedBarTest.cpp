#include "widgets/LedBar.h"
#include "ImageProbe.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <limits>

using namespace climate::widgets;

namespace {

const QSize Size(161, 23);
const QColor Alive(0, 255, 64);
const QColor Lost(255, 0, 0);

bool isLitGreen(const QColor& c) {
    return c.green() > 190 && c.red() < 120;
}

class LinkBar : public ::testing::Test {
protected:
    LinkBar() {
        bar.resize(Size);
        bar.setSegmentSpacing(1);
        bar.setSectionColor1(Alive);
    }
    LedBar bar;
};

TEST_F(LinkBar, PositionIsHeldWithinZeroToHundred) {
    struct Case {
        double given;
        double held;
    };
    const Case cases[] = {{57.5, 57.5}, {-5, 0}, {150, 100}, {100, 100}, {0, 0}, {3, 3}};
    for (const Case& c : cases) {
        bar.setPosition(c.given);
        EXPECT_EQ(bar.position(), c.held) << c.given;
    }
    bar.setPosition(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(bar.position(), 3.0);
}

TEST_F(LinkBar, NotifiesOnlyWhenTheHeldPositionChanges) {
    bar.setPosition(99);
    QSignalSpy spy(&bar, &LedBar::positionChanged);
    bar.setPosition(150);
    bar.setPosition(100); // already held at 100
    bar.setPosition(3);
    ASSERT_EQ(spy.size(), 2);
    EXPECT_EQ(spy.at(0).at(0).toDouble(), 100.0);
    EXPECT_EQ(spy.at(1).at(0).toDouble(), 3.0);
}

TEST_F(LinkBar, SectionColourReadsBack) {
    QSignalSpy spy(&bar, &LedBar::sectionColor1Changed);
    bar.setSectionColor1(Lost);
    bar.setSectionColor1(Lost);
    EXPECT_EQ(bar.sectionColor1(), Lost);
    EXPECT_EQ(spy.size(), 1);
    bar.setPosition(100);
    const QImage image = ImageProbe::grab(bar, Size);
    const QColor middle = image.pixelColor(78, 11); // inside segment 15
    EXPECT_GT(middle.red(), 200);
    EXPECT_LT(middle.green(), 90);
}

TEST_F(LinkBar, SegmentsFillFromTheLeft) {
    EXPECT_EQ(bar.segmentCount(), 32);
    struct Case {
        double position;
        int lit;
    };
    const Case cases[] = {{0, 0}, {5, 2}, {50, 16}, {99, 32}, {100, 32}, {1, 0}, {2, 1}};
    for (const Case& c : cases) {
        bar.setPosition(c.position);
        EXPECT_EQ(bar.litSegmentCount(), c.lit) << c.position;
    }

    bar.setPosition(50);
    const QImage half = ImageProbe::grab(bar, Size);
    EXPECT_GT(ImageProbe::count(half, isLitGreen, QRect(0, 0, 70, 23)), 200);
    EXPECT_EQ(ImageProbe::count(half, isLitGreen, QRect(90, 0, 71, 23)), 0);
    bar.setPosition(0);
    EXPECT_EQ(ImageProbe::count(ImageProbe::grab(bar, Size), isLitGreen), 0);
    bar.setPosition(100);
    EXPECT_GT(ImageProbe::count(ImageProbe::grab(bar, Size), isLitGreen, QRect(150, 0, 11, 23)),
              20);
}

TEST_F(LinkBar, BackgroundIsTransparent) {
    bar.setPosition(100);
    const QImage image = ImageProbe::renderTransparent(bar, Size);
    // The edge rows and the gaps between segments stay clear.
    EXPECT_EQ(ImageProbe::count(
                  image, [](const QColor& c) { return c.alpha() > 0; }, QRect(0, 0, 161, 1)),
              0);
    int clearColumns = 0;
    for (int x = 0; x < image.width(); ++x) {
        clearColumns += image.pixelColor(x, 11).alpha() == 0 ? 1 : 0;
    }
    EXPECT_GE(clearColumns, 31);
}

} // namespace

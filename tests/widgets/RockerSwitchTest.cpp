#include "widgets/RockerSwitch.h"
#include "ImageProbe.h"

#include <QKeyEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace climate::widgets;

namespace {

const QSize Size(30, 48);

// The forced-output switch, on at start, with a handler that records what it reads when the
// click notification arrives.
class ForcedOutputSwitch : public ::testing::Test {
protected:
    ForcedOutputSwitch() {
        rocker.resize(Size);
        rocker.setOn(true);
        QObject::connect(
            &rocker, &RockerSwitch::clicked, &rocker,
            [this] { stateSeenByHandler.push_back(rocker.isOn()); }, Qt::DirectConnection);
    }
    RockerSwitch rocker;
    QSignalSpy toggled{&rocker, &RockerSwitch::toggled};
    std::vector<bool> stateSeenByHandler;
};

TEST_F(ForcedOutputSwitch, ClickNotifiesWithTheOldStateThenFlips) {
    QTest::mouseClick(&rocker, Qt::LeftButton);
    EXPECT_EQ(stateSeenByHandler, std::vector<bool>{true});
    EXPECT_FALSE(rocker.isOn());
    ASSERT_EQ(toggled.size(), 1);
    EXPECT_FALSE(toggled.at(0).at(0).toBool());

    QTest::mouseClick(&rocker, Qt::LeftButton);
    EXPECT_EQ(stateSeenByHandler, (std::vector<bool>{true, false}));
    EXPECT_TRUE(rocker.isOn());
}

TEST_F(ForcedOutputSwitch, PressDoesWhatAClickDoes) {
    rocker.press();
    EXPECT_EQ(stateSeenByHandler, std::vector<bool>{true});
    EXPECT_FALSE(rocker.isOn());
    EXPECT_EQ(toggled.size(), 1);
}

TEST_F(ForcedOutputSwitch, SpaceBarFlipsWithoutNotification) {
    QTest::keyClick(&rocker, Qt::Key_Space);
    EXPECT_FALSE(rocker.isOn());
    EXPECT_TRUE(stateSeenByHandler.empty());
    EXPECT_EQ(toggled.size(), 1);

    // Holding the bar down does not make it chatter.
    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QCoreApplication::sendEvent(&rocker, &repeat);
    EXPECT_FALSE(rocker.isOn());
}

TEST_F(ForcedOutputSwitch, ProgramSettingRaisesNothing) {
    rocker.setOn(false);
    rocker.setOn(true);
    rocker.setOn(true);
    EXPECT_TRUE(rocker.isOn());
    EXPECT_TRUE(stateSeenByHandler.empty());
    EXPECT_EQ(toggled.size(), 0);
}

TEST_F(ForcedOutputSwitch, ReleaseOutsideOrOtherButtonsDoNothing) {
    QTest::mousePress(&rocker, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&rocker, Qt::LeftButton, {}, QPoint(200, 200));
    QTest::mouseClick(&rocker, Qt::RightButton);
    EXPECT_TRUE(rocker.isOn());
    EXPECT_TRUE(stateSeenByHandler.empty());
}

TEST(RockerSwitch, HandlerMayDestroyTheSwitch) {
    auto* rocker = new RockerSwitch;
    QPointer<RockerSwitch> watch(rocker);
    int toggles = 0;
    QObject::connect(rocker, &RockerSwitch::toggled, [&toggles] { ++toggles; });
    QObject::connect(
        rocker, &RockerSwitch::clicked, rocker, [rocker] { delete rocker; }, Qt::DirectConnection);
    rocker->press();
    EXPECT_TRUE(watch.isNull());
    EXPECT_EQ(toggles, 0);
}

TEST(RockerSwitch, PictureShowsTheStateOnItsBackground) {
    RockerSwitch rocker;
    rocker.setBackgroundColor(QColor(255, 0, 255));
    rocker.setOn(true);
    const QImage on = ImageProbe::grab(rocker, Size);
    rocker.setOn(false);
    const QImage off = ImageProbe::grab(rocker, Size);

    EXPECT_EQ(on.pixelColor(0, 0), QColor(255, 0, 255));
    // The pressed half lies in shadow: the upper half when on, the lower half when off.
    auto brightnessOf = [](const QImage& image, const QRect& area) {
        long sum = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                sum += ImageProbe::brightness(image.pixelColor(x, y));
            }
        }
        return sum;
    };
    // Strips along the paddle's left edge, clear of the markings.
    const QRect upper(7, 6, 3, 16);
    const QRect lower(7, 26, 3, 16);
    EXPECT_LT(brightnessOf(on, upper), brightnessOf(on, lower));
    EXPECT_GT(brightnessOf(off, upper), brightnessOf(off, lower));
}

} // namespace

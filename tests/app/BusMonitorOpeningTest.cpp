// The bus monitor opens from the button beside the link bar and from F12, as a window of its own;
// the main window keeps its controls and its size rule, and closing the monitor leaves the tool
// as it was.
#include "app/TForm1.h"
#include "monitor/BusMonitorWindow.h"
#include "support/RecordingPresenter.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace climate::app;

namespace {

class BusMonitorOpening : public ::testing::Test {
protected:
    TForm1 form{QStringList{}, std::make_unique<RecordingPresenter>(), [](int) {}};
};

TEST_F(BusMonitorOpening, TheButtonBesideTheLinkBarOpensASeparateWindow) {
    form.show();
    auto* button = form.findChild<QPushButton*>(QStringLiteral("BusMonitorButton"));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->parentWidget(), &form); // above the pages, whatever page is shown
    EXPECT_EQ(button->accessibleName(), QStringLiteral("Bus Monitor"));
    const QRect linkBar = form.findChild<QWidget*>(QStringLiteral("iLedBar1"))->geometry();
    EXPECT_FALSE(button->geometry().intersects(linkBar));
    EXPECT_GE(button->geometry().left(), linkBar.right());
    EXPECT_LE(button->geometry().right(), TForm1::FixedWidth);

    EXPECT_EQ(form.busMonitor(), nullptr); // nothing exists until it is opened
    button->click();
    auto* monitor = form.busMonitor();
    ASSERT_NE(monitor, nullptr);
    EXPECT_TRUE(monitor->isVisible());
    EXPECT_TRUE(monitor->isWindow());
    EXPECT_FALSE(monitor->isModal());
    EXPECT_EQ(monitor->windowTitle(), QStringLiteral("Bus Monitor"));
    EXPECT_TRUE(monitor->isWatching());

    monitor->close();
    EXPECT_FALSE(monitor->isWatching());
    EXPECT_TRUE(form.isVisible());
    form.forceWindowSize();
    EXPECT_EQ(form.frameGeometry().size(), QSize(TForm1::FixedWidth, TForm1::FixedHeight));
}

// F12 as the platform delivers it, through the window (where shortcuts are matched).
void pressF12(QWidget& window) {
    QTest::keyClick(window.windowHandle(), Qt::Key_F12);
}

TEST_F(BusMonitorOpening, F12OpensItAgainAfterItWasClosed) {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    pressF12(form);
    auto* monitor = form.busMonitor();
    ASSERT_NE(monitor, nullptr);
    EXPECT_TRUE(monitor->isVisible());
    monitor->close();
    ASSERT_FALSE(monitor->isVisible());
    form.activateWindow(); // back at the main window
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    pressF12(form);
    EXPECT_TRUE(monitor->isVisible());
    EXPECT_EQ(form.busMonitor(), monitor); // the same window, watching again
    EXPECT_TRUE(monitor->isWatching());
}

} // namespace

// The bus monitor on the whole window against the simulator, which answers at address 9 while the
// tool starts at 1: the search finds it with its firmware version, "Use address" makes the tool
// talk to it, Cancel and Close end a search at once, and polling resumes afterwards.
#include "WindowOnSimulator.h"

#include "link/CommEngine.h"
#include "monitor/BusMonitorWindow.h"
#include "support/EventLoopWait.h"

#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>

using namespace climate::link;

namespace {

using climate::monitor::BusMonitorWindow;

class MonitorOnSimulator : public WindowOnSimulator {
protected:
    MonitorOnSimulator() {
        simulatorArguments = {QStringLiteral("--address"), QStringLiteral("9")};
    }

    BusMonitorWindow* openMonitor() {
        child<QTabWidget>("Data")->setCurrentIndex(1); // polling
        form->openBusMonitor();
        BusMonitorWindow* monitor = form->busMonitor();
        EXPECT_NE(monitor, nullptr);
        EXPECT_TRUE(monitor->isVisible());
        return monitor;
    }
    template <typename T> T* monitorChild(BusMonitorWindow* monitor, const char* name) {
        T* found = monitor->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    [[nodiscard]] bool engineRunning() const {
        return form->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive() &&
               form->findChild<QTimer*>(QStringLiteral("Timer2"))->isActive();
    }
};

TEST_F(MonitorOnSimulator, FindsTheControllerWithItsFirmwareAndUsesItsAddress) {
    BusMonitorWindow* monitor = openMonitor();
    ASSERT_NE(monitor, nullptr);
    // Polling address 1 gets no answer.
    ASSERT_TRUE(spinUntil([&] { return monitor->log().counters().requests >= 1; }, 3000));
    EXPECT_EQ(monitor->log().counters().goodReplies, 0u);

    ASSERT_TRUE(monitor->findController(1, 12));
    EXPECT_FALSE(engineRunning());
    ASSERT_TRUE(spinUntil([&] { return !monitor->search().isRunning(); }, 15000));
    EXPECT_TRUE(engineRunning());

    const auto found = monitor->search().found();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].address, 9);
    EXPECT_FALSE(found[0].exception);
    EXPECT_EQ(found[0].firmware, QStringLiteral("DCAC-HEX V1.00"));
    EXPECT_EQ(monitor->search().probed(), 12);
    auto* list = monitorChild<QTreeWidget>(monitor, "FoundList");
    ASSERT_EQ(list->topLevelItemCount(), 1);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("9"));
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("DCAC-HEX V1.00"));

    // "Use address": Comm Address shows 9 and the polls now get good replies from it.
    monitor->refresh();
    list->setCurrentItem(list->topLevelItem(0));
    auto* use = monitorChild<QPushButton>(monitor, "UseButton");
    ASSERT_TRUE(use->isEnabled());
    use->click();
    EXPECT_EQ(child<QLineEdit>("Edit17")->text(), QStringLiteral("9"));
    EXPECT_EQ(form->engine().state().DeviceAddress, 9u);
    ASSERT_TRUE(spinUntil([&] { return monitor->log().counters().goodReplies >= 4; }, 8000));
    EXPECT_TRUE(monitor->log().counters().replyMsMax > 0.0);

    // For a look at the window with real traffic.
    monitor->refresh();
    QDir().mkpath(QStringLiteral(SHOTS_DIR));
    EXPECT_TRUE(monitor->grab().save(QStringLiteral(SHOTS_DIR "/bus-monitor-simulator.png")));
}

TEST_F(MonitorOnSimulator, CancelStopsTheSearchAtOnceAndPollingResumes) {
    BusMonitorWindow* monitor = openMonitor();
    ASSERT_NE(monitor, nullptr);
    ASSERT_TRUE(monitor->findController());
    spinFor(400);
    const int probed = monitor->search().probed();
    EXPECT_LT(probed, 255);
    const auto requestsBefore = monitor->log().counters().requests;

    monitorChild<QPushButton>(monitor, "CancelButton")->click();
    EXPECT_FALSE(monitor->search().isRunning());
    EXPECT_TRUE(engineRunning());
    spinFor(200);
    EXPECT_EQ(monitor->search().probed(), probed);
    EXPECT_EQ(monitorChild<QProgressBar>(monitor, "SearchProgress")->value(), probed);
    // The engine polls again.
    EXPECT_TRUE(
        spinUntil([&] { return monitor->log().counters().requests > requestsBefore; }, 3000));
}

TEST_F(MonitorOnSimulator, ClosingThePortEndsTheSearchAndTheEngineStaysStopped) {
    BusMonitorWindow* monitor = openMonitor();
    ASSERT_NE(monitor, nullptr);
    ASSERT_TRUE(monitor->findController());
    spinFor(100);
    child<QPushButton>("Button1")->click(); // "Close"
    EXPECT_EQ(child<QPushButton>("Button1")->text(), QStringLiteral("Open"));
    EXPECT_FALSE(monitor->search().isRunning());
    EXPECT_FALSE(engineRunning());
    monitor->refresh();
    auto* find = monitorChild<QPushButton>(monitor, "FindButton");
    EXPECT_FALSE(find->isEnabled());
    EXPECT_FALSE(find->toolTip().isEmpty());
}

} // namespace

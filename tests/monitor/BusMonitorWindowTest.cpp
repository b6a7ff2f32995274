// The "Bus Monitor" window: it watches the engine only while open, Find controller is gated with
// a reason, every control has an accessible name, and a screenshot of it with traffic.
#include "monitor/BusMonitorWindow.h"
#include "FakeMonitorHost.h"
#include "monitor/BusLogTableModel.h"
#include "support/FrameHex.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

using namespace climate::link;

namespace {

using namespace climate::monitor;
using Id = EngineObserver::TransactionId;
using Outcome = EngineObserver::Outcome;

class BusMonitorWindowTest : public ::testing::Test {
protected:
    template <typename T> T* child(const char* name) {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // A few transactions of every kind, as the engine would report them to `engine`.
    static void someTraffic(EngineObserver& engine) {
        const Id coils{1, Id::Kind::PollStep, 0};
        const Id measurements{1, Id::Kind::PollStep, 3};
        const Id heater{0, Id::Kind::Command, 2};
        engine.requestSent(coils, withCrc(fromHex("01 01 00 00 00 10")));
        engine.bytesReceived(coils, replyFrom("01 01 02 13 00"), {});
        engine.transactionEnded(coils, Outcome::Good);
        engine.requestSent(measurements, withCrc(fromHex("01 04 00 00 00 0E")));
        engine.bytesReceived(measurements, fromHex("01 04 1C 09 C4 09"), {});
        engine.bytesPurged(1100, EngineObserver::PurgeReason::Overflow);
        engine.transactionEnded(measurements, Outcome::Timeout);
        engine.requestSent(heater,
                           withCrc(fromHex("01 10 00 16 00 05 0A 00 32 00 32 00 96 00 14 00 01")));
        engine.bytesReceived(heater, replyFrom("01 90 03"), {});
        engine.transactionEnded(heater, Outcome::Timeout);
        engine.requestSent(coils, withCrc(fromHex("01 01 00 00 00 10")));
        engine.bytesReceived(coils, replyFrom("02 01 02 00 00"), {});
        engine.transactionEnded(coils, Outcome::WrongHeader);
        engine.requestSent(coils, withCrc(fromHex("01 01 00 00 00 10")));
        engine.transactionEnded(coils, Outcome::Abandoned);
    }

    FakeMonitorHost host;
    BusMonitorWindow window{host};
};

TEST_F(BusMonitorWindowTest, WatchesTheEngineWhileOpenAndOpensOnWhatCameBefore) {
    EXPECT_EQ(host.observer, nullptr);
    window.show();
    EXPECT_EQ(host.observer, &window.log());
    someTraffic(*host.observer);
    window.close();
    EXPECT_EQ(host.observer, nullptr);

    // Opening it again starts from the engine's history, not from what it showed last time.
    window.show();
    EXPECT_TRUE(window.log().entries().empty());
    EXPECT_EQ(window.log().counters().requests, 0u);
    window.close();

    // What the engine did while the monitor was closed is there when it opens.
    someTraffic(host.traffic);
    window.show();
    window.refresh();
    EXPECT_EQ(child<QLabel>("RequestsCount")->text(), QStringLiteral("5"));
    EXPECT_EQ(child<QLabel>("ExceptionrepliesCount")->text(), QStringLiteral("1"));
    const int rows = child<QTableView>("TrafficView")->model()->rowCount();
    EXPECT_EQ(rows, static_cast<int>(window.log().entries().size()));
    EXPECT_GE(rows, 15);
    window.close();
}

TEST_F(BusMonitorWindowTest, ClosingTheWindowEndsASearch) {
    window.show();
    ASSERT_TRUE(window.findController());
    EXPECT_EQ(host.pauses, 1);
    window.close();
    EXPECT_FALSE(window.search().isRunning());
    EXPECT_EQ(host.resumes, 1);
}

TEST_F(BusMonitorWindowTest, FindControllerIsDisabledWithTheReasonWhenThePortIsClosedOrBusy) {
    window.show();
    auto* find = child<QPushButton>("FindButton");
    ASSERT_NE(find, nullptr);
    window.refresh();
    EXPECT_TRUE(find->isEnabled());

    host.fakePort.setOpen(false);
    window.refresh();
    EXPECT_FALSE(find->isEnabled());
    EXPECT_TRUE(find->toolTip().contains(QStringLiteral("port is closed")));
    EXPECT_FALSE(window.findController());

    host.fakePort.setOpen(true);
    host.busy = true;
    window.refresh();
    EXPECT_FALSE(find->isEnabled());
    EXPECT_TRUE(find->toolTip().contains(QStringLiteral("command is in progress")));
    EXPECT_FALSE(window.findController());
    EXPECT_EQ(host.pauses, 0);
    window.close();
}

TEST_F(BusMonitorWindowTest, CountersAndListShowTheTraffic) {
    window.show();
    someTraffic(*host.observer);
    window.refresh();
    const auto value = [this](const char* name) { return child<QLabel>(name)->text(); };
    EXPECT_EQ(value("RequestsCount"), QStringLiteral("5"));
    EXPECT_EQ(child<QLabel>("RequestsCount")->accessibleName(), QStringLiteral("Requests: 5"));
    EXPECT_EQ(value("GoodrepliesCount"), QStringLiteral("1"));
    EXPECT_EQ(value("TimeoutsCount"), QStringLiteral("2"));
    EXPECT_EQ(value("WrongheaderCount"), QStringLiteral("1"));
    EXPECT_EQ(value("ExceptionrepliesCount"), QStringLiteral("1"));
    EXPECT_EQ(value("AbandonedCount"), QStringLiteral("1"));
    EXPECT_EQ(value("BytespurgedCount"), QStringLiteral("1100"));
    EXPECT_EQ(child<QTableView>("TrafficView")->model()->rowCount(),
              static_cast<int>(window.log().entries().size()));

    child<QPushButton>("ResetButton")->click();
    EXPECT_EQ(value("RequestsCount"), QStringLiteral("0"));
    EXPECT_EQ(child<QTableView>("TrafficView")->model()->rowCount(),
              static_cast<int>(window.log().entries().size()));
    child<QPushButton>("ClearButton")->click();
    EXPECT_EQ(child<QTableView>("TrafficView")->model()->rowCount(), 0);
    window.close();
}

TEST_F(BusMonitorWindowTest, EveryControlHasAnAccessibleName) {
    window.show();
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        const bool named = qobject_cast<QAbstractButton*>(widget) != nullptr ||
                           qobject_cast<QProgressBar*>(widget) != nullptr ||
                           qobject_cast<QTreeWidget*>(widget) != nullptr ||
                           qobject_cast<QTableView*>(widget) != nullptr ||
                           widget->objectName().endsWith(QStringLiteral("Count"));
        if (named && !widget->objectName().isEmpty() && widget->parent() != nullptr &&
            !widget->objectName().startsWith(QStringLiteral("qt_"))) {
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << widget->objectName().toStdString();
        }
    }
    EXPECT_EQ(child<QPushButton>("SaveButton")->accessibleName(), QStringLiteral("Save"));
    // A counter's value is read with what it counts; the status line is read by its text.
    EXPECT_EQ(child<QLabel>("MeanreplyCount")->accessibleName(), QStringLiteral("Mean reply: –"));
    EXPECT_EQ(child<QLabel>("RequestsCount")->accessibleName(), QStringLiteral("Requests: 0"));
    QAccessibleInterface* status =
        QAccessible::queryAccessibleInterface(child<QLabel>("StatusLine"));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(QAccessible::Name), QStringLiteral("0 entries"));
    window.close();
}

TEST_F(BusMonitorWindowTest, SaveWritesTheChosenFormat) {
    window.show();
    someTraffic(*host.observer);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(window.saveTo(folder.filePath(QStringLiteral("bus.csv"))));
    ASSERT_TRUE(window.saveTo(folder.filePath(QStringLiteral("bus.txt"))));
    QFile csv(folder.filePath(QStringLiteral("bus.csv")));
    QFile text(folder.filePath(QStringLiteral("bus.txt")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    EXPECT_TRUE(csv.readLine().startsWith("time_ms,wall_clock,direction,hex,meaning,outcome"));
    EXPECT_TRUE(text.readLine().startsWith("Requests 5,"));
    EXPECT_FALSE(window.saveTo(folder.filePath(QStringLiteral("no/such/folder/bus.csv"))));
    EXPECT_TRUE(child<QLabel>("StatusLine")->text().contains(QStringLiteral("Could not save")));
    window.close();
}

TEST_F(BusMonitorWindowTest, Screenshot) {
    window.resize(980, 640);
    window.show();
    someTraffic(*host.observer);
    window.log().addNote(QStringLiteral("Find controller done after 255 addresses, answered: 7"));
    window.refresh();
    const QImage shot = window.grab().toImage();
    ASSERT_FALSE(shot.isNull());
    QDir().mkpath(QStringLiteral(SHOTS_DIR));
    EXPECT_TRUE(shot.save(QStringLiteral(SHOTS_DIR "/bus-monitor.png")));
    // The error rows carry their colour somewhere in the list.
    auto* view = child<QTableView>("TrafficView");
    const QImage list = view->viewport()->grab().toImage();
    bool errorColour = false;
    for (int y = 0; y < list.height() && !errorColour; ++y) {
        errorColour = list.pixelColor(list.width() / 2, y) == QColor(255, 205, 205);
    }
    EXPECT_TRUE(errorColour);
    window.close();
}

} // namespace

// The whole window on a network port to the simulator on loopback, for both framings (RTU over
// TCP, Modbus TCP): live values arrive, Read All and a Set make the round trip, and a connection
// the far end drops is lost until Close and Open connect again.
#include "WindowOnSimulator.h"

#include "link/CommEngine.h"
#include "link/NamedPort.h"
#include "widgets/Thermometer.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace climate::link;
using namespace climate::widgets;

namespace {

class NetworkE2eTest : public WindowOnSimulator, public testing::WithParamInterface<const char*> {
protected:
    NetworkE2eTest() { simulatorFraming = QString::fromLatin1(GetParam()); }
};

TEST_P(NetworkE2eTest, LiveValuesArrive) {
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set ir 0 1500")));
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set ir 13 301")));
    child<QTabWidget>("Data")->setCurrentIndex(1);
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return edit("Edit19")->text() == QStringLiteral("1500"); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return child<Thermometer>("iThermometer3")->position() == 30.1; }, 5000));
    EXPECT_TRUE(messages->shown().empty()) << messages->describe();
}

TEST_P(NetworkE2eTest, ReadAllAndSetMakeTheRoundTrip) {
    for (const char* line : {"set hr 0 65535", "set hr 3 253", "set hr 43 -1"}) {
        ASSERT_TRUE(sim.commandOk(QString::fromLatin1(line))) << line;
    }
    ASSERT_TRUE(clickAndWait("Button12"));
    EXPECT_TRUE(messages->shown().empty()) << messages->describe();
    EXPECT_EQ(edit("Edit12")->text(), QStringLiteral("65535"));
    EXPECT_EQ(edit("Edit14")->text(), QStringLiteral("25.3"));
    EXPECT_EQ(edit("Edit31")->text(), QStringLiteral("-1"));

    edit("Edit18")->setText(QStringLiteral("70"));
    edit("Edit28")->setText(QStringLiteral("24"));
    ASSERT_TRUE(clickAndWait("Button9"));
    ASSERT_EQ(messages->shown().size(), 1u) << messages->describe();
    EXPECT_EQ(messages->shown().back().message.caption, "Set Alarm Voltage");
    EXPECT_EQ(sim.command(QStringLiteral("get hr 39 2")), QStringLiteral("ok 700 240"));
}

TEST_P(NetworkE2eTest, DroppedConnectionIsLostThenCloseAndOpenReconnect) {
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set ir 0 1500")));
    child<QTabWidget>("Data")->setCurrentIndex(1);
    auto* edit19 = edit("Edit19");
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit19->text() == QStringLiteral("1500"); }, 5000));

    ASSERT_TRUE(sim.commandOk(QStringLiteral("pull")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->port().isLost(); }, 3000));
    auto* open = button("Button1");
    EXPECT_EQ(open->text(), QStringLiteral("Close")) << "a lost port stays open until closed";
    EXPECT_TRUE(messages->shown().empty()) << messages->describe();

    open->click();
    ASSERT_EQ(open->text(), QStringLiteral("Open"));
    ASSERT_EQ(sim.command(QStringLiteral("plug")), QStringLiteral("ok ") + sim.tcpAddress());
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set ir 0 1600")));
    openPort();
    EXPECT_TRUE(QTest::qWaitFor([&] { return edit19->text() == QStringLiteral("1600"); }, 5000));
}

INSTANTIATE_TEST_SUITE_P(Framings, NetworkE2eTest, testing::Values("rtu", "mbap"));

} // namespace

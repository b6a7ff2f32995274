// Opening and closing the port with Button1, against the simulator's pseudo-terminal and against
// ports that cannot be opened.
#include "PortWindowFixture.h"
#include "link/CommEngine.h"
#include "link/LinkState.h"
#include "link/NamedPort.h"
#include "report/TestLog.h"
#include "support/EventLoopWait.h"
#include "support/FileSizeLimit.h"
#include "support/SimulatorChannel.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

using namespace climate::app;
using namespace climate::link;
using climate::realtime::TestLogRow;

namespace {

const char* const SerialCombos[] = {"rdCOM", "baudrate", "databits", "parity", "stopbits"};

class PortSwitchTest : public PortWindowFixture {
protected:
    void SetUp() override {
        PortWindowFixture::SetUp();
        if (!SimulatorChannel::servesSerialPorts()) {
            GTEST_SKIP() << "a serial port on the simulator's pseudo-terminal: not under Wine";
        }
        ASSERT_TRUE(sim.start()) << sim.diagnostics().toStdString();
        makeWindow({sim.linkPath(), QStringLiteral("/nonexistent/ttyX")});
    }

    // Types into the port list's edit field as a user would, keystroke by keystroke.
    void type(const QString& text) {
        ports->setCurrentIndex(-1);
        ports->lineEdit()->clear();
        QTest::keyClicks(ports->lineEdit(), text);
    }

    [[nodiscard]] bool timersStopped() const {
        return !form->findChild<QTimer*>(QStringLiteral("Timer1"))->isActive() &&
               !form->findChild<QTimer*>(QStringLiteral("Timer2"))->isActive();
    }
    [[nodiscard]] int enabledCombos() const {
        int enabled = 0;
        for (const char* name : SerialCombos) {
            enabled += form->findChild<QComboBox*>(QString::fromLatin1(name))->isEnabled() ? 1 : 0;
        }
        return enabled;
    }
    QComboBox* combo(const char* name) {
        return form->findChild<QComboBox*>(QString::fromLatin1(name));
    }
};

TEST_F(PortSwitchTest, OpenThenCloseFollowsThePortStates) {
    select(sim.linkPath());
    button->click();
    ASSERT_TRUE(messages->shown().empty()) << messages->describe();
    EXPECT_EQ(button->text(), QStringLiteral("Close"));
    EXPECT_TRUE(form->port().isOpen());
    EXPECT_TRUE(form->linkState().portOpen());
    EXPECT_TRUE(timersActive());
    EXPECT_EQ(enabledCombos(), 0);

    button->click();
    EXPECT_EQ(button->text(), QStringLiteral("Open"));
    EXPECT_FALSE(form->port().isOpen());
    EXPECT_FALSE(form->linkState().portOpen());
    EXPECT_TRUE(timersStopped());
    EXPECT_EQ(enabledCombos(), 5) << "all five combos are enabled after the first close";
    EXPECT_TRUE(messages->shown().empty());
}

// The switch and the pages ask the port. A pulled adapter leaves it open, as it leaves the
// caption at "Close": a page's button posts its command (which then times out) instead of saying
// "ComPort Not Open!!", and the next click of the switch closes the port.
TEST_F(PortSwitchTest, APulledAdapterLeavesThePortOpenUntilClosed) {
    select(sim.linkPath());
    button->click();
    ASSERT_TRUE(form->linkState().portOpen());
    ASSERT_TRUE(sim.commandOk(QStringLiteral("pull")));
    ASSERT_TRUE(spinUntil([&] { return form->port().isLost(); }, 5000));
    EXPECT_EQ(button->text(), QStringLiteral("Close"));
    EXPECT_TRUE(form->linkState().portOpen());

    auto* readAll = form->findChild<QPushButton*>(QStringLiteral("Button12"));
    readAll->click();
    EXPECT_TRUE(messages->shown().empty()) << messages->describe();
    EXPECT_TRUE(form->engine().state().CommandBusy) << "Read All is posted";

    button->click();
    EXPECT_EQ(button->text(), QStringLiteral("Open"));
    EXPECT_FALSE(form->linkState().portOpen());
    EXPECT_FALSE(form->port().isOpen());
    messages->clear();
    readAll->click();
    EXPECT_EQ(messages->lines(), std::vector<std::string>{"ComPort Not Open!! / Comm Error"});
}

TEST_F(PortSwitchTest, PortsThatCannotBeOpenedChangeNothing) {
    struct Case {
        const char* what;
        QString listed; // the entry to select; none when empty
        QString typed;  // typed into the box instead of selecting
    };
    const Case cases[] = {
        {"untouched box", QString(), QStringLiteral("COM")},
        {"empty box", QString(), QString()},
        {"blank box", QString(), QStringLiteral("   ")},
        {"absent listed device", QStringLiteral("/nonexistent/ttyX"), QString()},
        {"absent typed device", QString(), QStringLiteral("/nonexistent/ttyAMA0")},
    };
    for (const Case& c : cases) {
        messages->clear();
        if (c.listed.isEmpty()) {
            type(c.typed);
        } else {
            select(c.listed);
        }
        button->click();
        ASSERT_EQ(messages->shown().size(), 1u) << c.what;
        EXPECT_EQ(messages->shown()[0].message.text, "Open Port Error!!") << c.what;
        EXPECT_EQ(messages->shown()[0].message.caption, "Comm Error") << c.what;
        EXPECT_FALSE(messages->shown()[0].message.details.empty()) << c.what;
        EXPECT_EQ(button->text(), QStringLiteral("Open")) << c.what;
        EXPECT_TRUE(timersActive()) << c.what << ": timers keep their state";
        EXPECT_EQ(enabledCombos(), 1) << c.what << ": only the port list is enabled at start";
    }
}

// A port that is not listed is typed, and "Open" opens it as typed: a lower-case path that is
// in no list (a link to the simulator's terminal), with stray blanks around it, and a typed path
// that matches a listed entry.
TEST_F(PortSwitchTest, TypedPortNamesOpen) {
    const QString unlisted = QDir(workFolder.path()).filePath(QStringLiteral("ttyama0"));
    ASSERT_TRUE(QFile::link(sim.linkPath(), unlisted));
    ASSERT_LT(ports->findText(unlisted), 0);
    ASSERT_NE(sim.linkPath(), sim.linkPath().toUpper()) << "the check needs lower-case letters";
    const struct {
        const char* what;
        QString typed;
        QString opened;
    } cases[] = {
        {"unlisted path", QStringLiteral("  ") + unlisted + QStringLiteral(" "), unlisted},
        {"listed path", sim.linkPath(), sim.linkPath()},
    };
    for (const auto& c : cases) {
        messages->clear();
        type(c.typed);
        EXPECT_EQ(ports->currentText(), c.typed) << c.what << ": typed paths keep their case";
        EXPECT_EQ(ports->portToOpen(), c.opened) << c.what;
        button->click();
        ASSERT_TRUE(messages->shown().empty()) << c.what << ": " << messages->describe();
        EXPECT_EQ(button->text(), QStringLiteral("Close")) << c.what;
        EXPECT_TRUE(form->port().isOpen()) << c.what;
        button->click();
        EXPECT_FALSE(form->port().isOpen()) << c.what;
    }
}

TEST_F(PortSwitchTest, RefusedSettingsCloseThePortAndStopTheTimers) {
    select(sim.linkPath());
    button->click(); // open
    button->click(); // close: the settings combos become editable
    combo("databits")->setEditText(QStringLiteral("4"));
    messages->clear();

    button->click();
    ASSERT_EQ(messages->shown().size(), 1u);
    EXPECT_EQ(messages->shown()[0].message.text, "通信端口设置错误!!!");
    EXPECT_EQ(messages->shown()[0].message.caption, "Set Error");
    EXPECT_EQ(button->text(), QStringLiteral("Open"));
    EXPECT_FALSE(form->port().isOpen());
    EXPECT_TRUE(timersStopped());
}

TEST_F(PortSwitchTest, SettingsThatAreNoNumberLeaveNothingHalfOpen) {
    select(sim.linkPath());
    button->click();
    button->click();
    combo("baudrate")->setEditText(QStringLiteral("fast"));
    messages->clear();

    button->click();
    ASSERT_EQ(messages->shown().size(), 1u);
    // The serial combos turn typed text into upper case.
    EXPECT_EQ(messages->shown()[0].message.text, "'FAST' is not a valid floating point value");
    EXPECT_FALSE(form->port().isOpen());
    EXPECT_EQ(button->text(), QStringLiteral("Open"));

    // The port is free again: a corrected setting opens it.
    combo("baudrate")->setEditText(QStringLiteral("19200"));
    button->click();
    EXPECT_EQ(button->text(), QStringLiteral("Close"));
}

TEST_F(PortSwitchTest, EveryClickKeepsTheReportFolder) {
    const QString folder = QDir(workFolder.path()).filePath(QStringLiteral("TestReportDate"));
    ASSERT_FALSE(QDir(folder).exists());
    ports->setCurrentIndex(-1);
    button->click(); // a failed open creates it too
    ASSERT_TRUE(QDir(folder).exists());

    QFile marker(QDir(folder).filePath(QStringLiteral("earlier.xls")));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    select(sim.linkPath());
    button->click();
    button->click();
    EXPECT_TRUE(marker.exists()) << "an existing folder is left alone";
}

} // namespace

namespace {

// "Stop Systerm" closes the open port, ends the test log and ends the process with code 0.
TEST_F(PortSwitchTest, StopSystermClosesThePortAndExitsWithZero) {
    select(sim.linkPath());
    button->click();
    ASSERT_TRUE(form->port().isOpen()) << messages->describe();

    form->findChild<QPushButton*>(QStringLiteral("Button2"))->click();
    EXPECT_EQ(exitCodes, std::vector<int>{0});
    EXPECT_FALSE(form->port().isOpen());
    EXPECT_TRUE(messages->shown().empty()) << messages->describe();
}

// A failed save is not ended as a success: when rows did not reach the disk, "Stop Systerm" shows
// the log's failure box and ends the process only once the box is closed.
class StopSystermAfterAFailedSave : public PortWindowFixture {
protected:
    void SetUp() override {
        PortWindowFixture::SetUp();
        makeWindow({});
        ASSERT_FALSE(HasFatalFailure());
        form->testLog().WriteLogRecord(TestLogRow{1450, 1460, 1700, 1710, 25.5, -3.5, 2800, 1.5});
        ASSERT_TRUE(form->testLog().flush());
    }
    void clickStopSysterm() { form->findChild<QPushButton*>(QStringLiteral("Button2"))->click(); }
    void expectFailureBoxThenExit(std::size_t box) {
        EXPECT_TRUE(exitCodes.empty()) << "ended before the failure was shown";
        ASSERT_EQ(messages->shown().size(), box + 1) << messages->describe();
        EXPECT_EQ(messages->lines()[box], "操作Excel表格失败！ / 错误");
        messages->close(box);
        EXPECT_EQ(exitCodes, std::vector<int>{0});
    }
};

TEST_F(StopSystermAfterAFailedSave, OnAFullDisk) {
    if (!FileSizeLimit::available()) {
        GTEST_SKIP() << "no way to fill the disk here";
    }
    {
        const FileSizeLimit fullDisk(1024);
        form->testLog().WriteLogRecord(TestLogRow{1451, 1461, 1701, 1711, 25.6, -3.4, 2810, 1.6});
        ASSERT_EQ(messages->shown().size(), 1u) << "the failed record says so at once";
        clickStopSysterm();
    }
    expectFailureBoxThenExit(1);
}

// With the port never opened, it still ends the process with code 0.
TEST_F(PortSwitchTest, StopSystermWithThePortClosedExitsWithZero) {
    form->findChild<QPushButton*>(QStringLiteral("Button2"))->click();
    EXPECT_EQ(exitCodes, std::vector<int>{0});
}

} // namespace

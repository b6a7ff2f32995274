#include "RealTimeFixture.h"
#include "Replies.h"

#include "link/LinkState.h"
#include "link/NumberText.h"
#include "realtime/DebugTemperatureCommand.h"
#include "widgets/RockerSwitch.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <optional>
#include <string>

using namespace climate::link;
using namespace climate::realtime;
using namespace climate::widgets;

namespace {

TEST(DebugTemperatureValue, TenthsOfTheNumberAsTyped) {
    struct Case {
        const char* text;
        int tenths;
    };
    const Case cases[] = {
        {"25.3", 253},      {"25", 250},     {"99.99", 999},
        {"99.999999", 999}, {"0.3", 3},      {"-0.3", -3},
        {"-12.34", -123},   {"-40", -400},   {"-39.99", -399},
        {" 25.3 ", 253},    {"+7.05", 70},   {"2.53e1", 253},
        {"-0.05", 0},       {"0", 0},        {"-40.01", 1100},
        {"100", 1100},      {"100.0", 1100}, {"-40.0000001", 1100},
        {"1e3", 1100},      {"-1e30", 1100},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(debugTemperatureValue(c.text), c.tenths) << '"' << c.text << '"';
    }
}

TEST(DebugTemperatureValue, TextThatIsNoNumberThrowsTheConversionError) {
    for (const char* text : {"abc", "", "   ", "25,3", "25.3C", "0x10", "nan", "-"}) {
        try {
            (void)debugTemperatureValue(text);
            ADD_FAILURE() << '"' << text << "\" converted";
        } catch (const ConversionError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "'" + std::string(trimmed(text)) + "' is not a valid floating point value");
        }
    }
}

class LiveCommand : public RealTimeFixture {
protected:
    void SetUp() override {
        QObject::connect(view().iSwitchRocker1, &RockerSwitch::clicked,
                         [this] { monitor.iSwitchRocker1Change(); });
        showRealTimeData();
    }

    void send(const QString& text) {
        view().Edit11->setText(text);
        monitor.Button6Click();
    }

    // Ticks until a box is shown; the number of ticks, or nothing.
    std::optional<int> untilBox(int maxTicks = 200) {
        const std::size_t before = rig.window.messages().size();
        return rig.driver.runUntil([&] { return rig.window.messages().size() > before; }, maxTicks);
    }

    [[nodiscard]] std::vector<std::string> boxes() const {
        std::vector<std::string> shown;
        for (const FakeEngineWindow::ShownMessage& box : rig.window.messages()) {
            shown.push_back(box.message.text + " | " + box.message.caption);
        }
        return shown;
    }
};

TEST_F(LiveCommand, RequestsToTheByte) {
    struct Case {
        const char* text;
        std::string frame;
    };
    const Case cases[] = {
        {"25", "01 06 00 1E 00 FA 69 8F"},
        {"25.0", "01 06 00 1E 00 FA 69 8F"},
        {"150", "01 06 00 1E 04 4C EA F9"},
        {"-40", "01 06 00 1E FE 70 A8 48"},
        {"25.3", toHex(withCrc(fromHex("01 06 00 1E 00 FD")))},
        {"-0.3", toHex(withCrc(fromHex("01 06 00 1E FF FD")))},
        {"-12.34", toHex(withCrc(fromHex("01 06 00 1E FF 85")))},
    };
    for (const Case& c : cases) {
        send(c.text);
        EXPECT_EQ(state().LiveCommand, 1);
        EXPECT_EQ(toHex(sendTick()), c.frame) << c.text;
        EXPECT_EQ(rig.window.engineInterval(), 300);
    }
}

TEST_F(LiveCommand, RockerClickForcesTheOtherState) {
    ASSERT_TRUE(view().iSwitchRocker1->isOn());
    view().iSwitchRocker1->press();
    EXPECT_FALSE(view().iSwitchRocker1->isOn()) << "the rocker shows the requested state";
    EXPECT_EQ(monitor.forceCoilValue(), 0x0000);
    EXPECT_EQ(state().LiveCommand, 2);
    EXPECT_EQ(toHex(sendTick()), "01 05 00 0C 00 00 0D C9");

    view().iSwitchRocker1->press();
    EXPECT_EQ(monitor.forceCoilValue(), 0xFF00);
    EXPECT_EQ(toHex(sendTick()), "01 05 00 0C FF 00 4C 39");
}

TEST_F(LiveCommand, ConversionErrorPostsNothing) {
    view().Edit11->setText(QStringLiteral("abc"));
    EXPECT_THROW(monitor.Button6Click(), ConversionError);
    EXPECT_EQ(state().LiveCommand, 0);
    EXPECT_EQ(view().Edit11->text(), "abc");
    EXPECT_EQ(toHex(sendTick()), toHex(withCrc(fromHex("01 01 00 00 00 10")))) << "not a poll";

    // A command already posted stays posted.
    send(QStringLiteral("20"));
    view().Edit11->setText(QString());
    EXPECT_THROW(monitor.Button6Click(), ConversionError);
    EXPECT_EQ(state().LiveCommand, 1);
    EXPECT_EQ(monitor.debugTempValue(), 200);
}

TEST_F(LiveCommand, PortClosedShowsTheBoxAndPostsNothing) {
    page.closePort();
    view().Edit11->setText(QStringLiteral("not even a number"));
    monitor.Button6Click();
    view().iSwitchRocker1->press();

    EXPECT_EQ(boxes(), (std::vector<std::string>{"ComPort Not Open!! | Comm Error",
                                                 "ComPort Not Open!! | Comm Error"}));
    EXPECT_EQ(state().LiveCommand, 0);
    EXPECT_FALSE(view().iSwitchRocker1->isOn()) << "the rocker flips all the same";
    EXPECT_EQ(view().Edit11->text(), "not even a number");
}

// Every outcome of both commands: the box, what it leaves behind for the ticks that run while it
// is open, and what closing it does.
TEST_F(LiveCommand, OutcomeTable) {
    enum class Command { Debug, Force };
    enum class Reply { None, WrongAddress, WrongFunction, EchoEqual, EchoDiffers, BadCrc };
    struct Case {
        Command command;
        Reply reply;
        const char* box;
        bool edit11Emptied;
        int linkTicksAtBox;    // LinkAliveTicks right after the box was shown
        bool restartBeforeBox; // PollStep 0 and SendPending 1 already at the box
    };
    const Case cases[] = {
        {Command::Debug, Reply::None, "Adopt Realtime Temperature!! | Set Unsuccessfully", false, 0,
         true},
        {Command::Debug, Reply::BadCrc, "Adopt Realtime Temperature!! | Set Unsuccessfully", false,
         0, true},
        {Command::Debug, Reply::WrongAddress, "Adopt Realtime Temperature!! | Set Unsuccessfully",
         true, 40, true},
        {Command::Debug, Reply::WrongFunction, "Adopt Realtime Temperature!! | Set Unsuccessfully",
         true, 40, true},
        {Command::Debug, Reply::EchoEqual, "Adopt Realtime Temperature!! | Set Correctly", true, 30,
         false},
        {Command::Debug, Reply::EchoDiffers, "Adopt Simulant Temperature!! | Set Correctly", true,
         30, false},
        {Command::Force, Reply::None, "Force Fail! | Force Status", false, 0, true},
        {Command::Force, Reply::BadCrc, "Force Fail! | Force Status", false, 0, true},
        {Command::Force, Reply::WrongAddress, "Force Fail! | Force Status", false, 40, true},
        {Command::Force, Reply::WrongFunction, "Force Fail! | Force Status", false, 40, true},
        {Command::Force, Reply::EchoEqual, "Force Successfully! | Force Status", false, 30, false},
        {Command::Force, Reply::EchoDiffers, "Force Fail! | Force Status", false, 30, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box + std::string(", reply ") + std::to_string(static_cast<int>(c.reply)));
        EngineRig fresh;
        RealTimePage freshPage;
        RealTimeMonitor freshMonitor(fresh.engine, freshPage.view(), {}, nullptr);
        const RealTimeView& v = freshPage.view();
        fresh.driver.showPage(Page::RealTimeDataPage);

        // Debug 25.0 (0x00FA); force on from a rocker that is off (0xFF00).
        std::string echo;
        std::string otherEcho;
        if (c.command == Command::Debug) {
            v.Edit11->setText(QStringLiteral("25"));
            freshMonitor.Button6Click();
            echo = "01 06 00 1E 00 FA";
            otherEcho = "01 06 00 1E 01 00";
        } else {
            freshMonitor.inputs().setRockerOn(false);
            ASSERT_FALSE(v.iSwitchRocker1->isOn()) << "the rocker shows its position";
            freshMonitor.iSwitchRocker1Change();
            echo = "01 05 00 0C FF 00";
            otherEcho = "01 05 00 0C 00 00";
        }
        fresh.driver.tick(); // send

        std::vector<std::uint8_t> reply;
        switch (c.reply) {
        case Reply::None:
            break;
        case Reply::WrongAddress:
            reply = withCrc(fromHex("02" + echo.substr(2)));
            break;
        case Reply::WrongFunction:
            reply = withCrc(fromHex("01 03" + echo.substr(5)));
            break;
        case Reply::EchoEqual:
            reply = withCrc(fromHex(echo));
            break;
        case Reply::EchoDiffers:
            reply = withCrc(fromHex(otherEcho));
            break;
        case Reply::BadCrc:
            reply = withCrc(fromHex(echo));
            reply.back() ^= 0x01;
            break;
        }
        fresh.port.feed(reply);
        const double barBefore = fresh.link.barPosition();
        const std::optional<int> ticks =
            fresh.driver.runUntil([&] { return !fresh.window.messages().empty(); }, 200);
        ASSERT_TRUE(ticks.has_value());
        const bool timedOut = c.reply == Reply::None || c.reply == Reply::BadCrc;
        EXPECT_EQ(*ticks, timedOut ? 101 : 1);

        ASSERT_EQ(fresh.window.messages().size(), 1u);
        const UserMessage& box = fresh.window.messages().front().message;
        EXPECT_EQ(box.text + " | " + box.caption, c.box);
        EXPECT_EQ(box.icon, UserMessage::Icon::None);
        const EngineState& s = fresh.engine.state();
        EXPECT_EQ(s.LiveCommand, 0);
        EXPECT_EQ(s.LinkAliveTicks, c.linkTicksAtBox);
        if (c.restartBeforeBox) {
            EXPECT_EQ(s.PollStep, 0);
            EXPECT_EQ(s.SendPending, 1);
        }
        EXPECT_EQ(v.Edit11->text(), c.command == Command::Debug ? "25" : "0");
        if (c.command == Command::Force) {
            // Only an accepted matching echo sets the rocker; it stays off otherwise.
            EXPECT_EQ(v.iSwitchRocker1->isOn(), c.reply == Reply::EchoEqual);
        }

        const int purgesBeforeClose = static_cast<int>(fresh.port.purges().size());
        fresh.window.closeAll();
        EXPECT_EQ(v.Edit11->text(),
                  c.edit11Emptied ? "" : (c.command == Command::Debug ? "25" : "0"));
        EXPECT_EQ(s.LiveCommand, 0);
        EXPECT_EQ(s.PollStep, 0);
        EXPECT_EQ(s.SendPending, 1);
        const bool accepted = c.reply == Reply::EchoEqual || c.reply == Reply::EchoDiffers;
        EXPECT_EQ(static_cast<int>(fresh.port.purges().size()) - purgesBeforeClose,
                  accepted ? 1 : 0);
        EXPECT_EQ(s.LinkAliveTicks, accepted ? 40 : c.linkTicksAtBox);
        EXPECT_EQ(fresh.link.barPosition(), barBefore + (timedOut ? 0 : 1))
            << "every reply taken advances the bar once";

        // Polling starts again at step 0.
        fresh.driver.tick();
        ASSERT_FALSE(fresh.port.writes().empty());
        EXPECT_EQ(toHex(fresh.port.writes().back().bytes),
                  toHex(withCrc(fromHex("01 01 00 00 00 10"))));
    }
}

TEST_F(LiveCommand, NegativeValueEchoIsComparedAs16Bits) {
    send(QStringLiteral("-40"));
    sendTick();
    rig.port.feed(withCrc(fromHex("01 06 00 1E FE 70")));
    ASSERT_TRUE(untilBox().has_value());
    EXPECT_EQ(boxes(), std::vector<std::string>{"Adopt Realtime Temperature!! | Set Correctly"});
}

TEST_F(LiveCommand, GoodEchoSetsTheRockerToTheWrittenState) {
    view().iSwitchRocker1->press(); // on -> asks for off
    ASSERT_EQ(monitor.forceCoilValue(), 0x0000);
    sendTick();
    QTest::keyClick(view().iSwitchRocker1, Qt::Key_Space); // flips it back without a click
    ASSERT_TRUE(monitor.inputs().rockerOn());
    rig.port.feed(withCrc(fromHex("01 05 00 0C 00 00")));
    ASSERT_TRUE(untilBox().has_value());
    EXPECT_FALSE(view().iSwitchRocker1->isOn());
    EXPECT_FALSE(monitor.inputs().rockerOn());
    EXPECT_EQ(boxes(), std::vector<std::string>{"Force Successfully! | Force Status"});
}

// The rocker and Edit11 are views of the command inputs: a flip by the space bar, which sends
// nothing, is what the next click starts from, and what is typed is what Send converts.
TEST_F(LiveCommand, WhatTheUserFlipsOrTypesIsWhatTheNextCommandTakes) {
    ASSERT_TRUE(monitor.inputs().rockerOn());
    QTest::keyClick(view().iSwitchRocker1, Qt::Key_Space);
    EXPECT_FALSE(monitor.inputs().rockerOn());
    EXPECT_EQ(state().LiveCommand, 0) << "the space bar posts nothing";

    view().iSwitchRocker1->press(); // off -> asks for on
    EXPECT_EQ(monitor.forceCoilValue(), 0xFF00);
    EXPECT_TRUE(monitor.inputs().rockerOn()) << "the click's flip reaches the inputs";
    EXPECT_EQ(toHex(sendTick()), toHex(withCrc(fromHex("01 05 00 0C FF 00"))));
    rig.port.feed(withCrc(fromHex("01 05 00 0C FF 00")));
    ASSERT_TRUE(untilBox().has_value());

    view().Edit11->clear();
    QTest::keyClicks(view().Edit11, QStringLiteral("-7.5"));
    EXPECT_EQ(monitor.inputs().debugTemperatureText(), QStringLiteral("-7.5"));
    monitor.Button6Click();
    EXPECT_EQ(monitor.debugTempValue(), -75);

    // A status poll sets the position from coil 12, and the rocker shows it.
    monitor.inputs().groupDecoded(LiveGroup::StatusCoils, LiveData{}, LiveClock::time_point{});
    EXPECT_FALSE(monitor.inputs().rockerOn());
    EXPECT_FALSE(view().iSwitchRocker1->isOn());
}

TEST_F(LiveCommand, PreemptsThePollStepInProgress) {
    sendTick(); // coil read goes out
    rig.driver.run(5);
    send(QStringLiteral("30"));
    EXPECT_EQ(toHex(sendTick()), toHex(withCrc(fromHex("01 06 00 1E 01 2C"))));
    EXPECT_EQ(rig.port.purgesAt(rig.port.tick()), 1) << "the poll's late reply is dropped";
}

TEST_F(LiveCommand, SecondClickWhileWaitingDropsTheFirstSilently) {
    view().iSwitchRocker1->press();
    sendTick(); // force write out
    rig.driver.run(3);
    send(QStringLiteral("21.5"));
    EXPECT_EQ(toHex(sendTick()), toHex(withCrc(fromHex("01 06 00 1E 00 D7"))));
    rig.port.feed(withCrc(fromHex("01 06 00 1E 00 D7")));
    ASSERT_TRUE(untilBox().has_value());
    rig.window.closeAll();
    rig.driver.run(400);
    EXPECT_EQ(boxes(), std::vector<std::string>{"Adopt Realtime Temperature!! | Set Correctly"});
}

// While the box of an accepted reply is open, only LiveCommand is cleared: the ticks that run
// meanwhile poll (they may refresh the rocker) and send no second write; Timer1 finds the link
// counter at 30.
TEST_F(LiveCommand, TicksWhileResultBoxIsOpenFindAConsistentState) {
    send(QStringLiteral("25"));
    sendTick();
    rig.port.feed(withCrc(fromHex("01 06 00 1E 00 FA")));
    ASSERT_TRUE(untilBox().has_value());
    ASSERT_EQ(rig.window.openMessageCount(), 1);

    monitor.Timer1Timer();
    EXPECT_EQ(state().LinkAliveTicks, 29);
    EXPECT_TRUE(rig.link.answering());

    const std::size_t writesBefore = rig.port.writes().size();
    rig.driver.run(40);
    EXPECT_EQ(state().LiveCommand, 0);
    ASSERT_GT(rig.port.writes().size(), writesBefore) << "polling did not run";
    for (std::size_t i = writesBefore; i < rig.port.writes().size(); ++i) {
        EXPECT_NE(rig.port.writes()[i].bytes.at(1), 6) << "the write went out again";
    }
    // Coil 12 read back as off while the box is open: the rocker follows the poll.
    stage().pollStep(0);
    stage().sendPending(true);
    exchange(coilsReply(0x00, 0x00));
    EXPECT_FALSE(view().iSwitchRocker1->isOn());

    rig.window.closeAll();
    EXPECT_EQ(view().Edit11->text(), "");
    EXPECT_EQ(state().PollStep, 0);
    EXPECT_TRUE(state().SendPending);
    EXPECT_EQ(state().LinkAliveTicks, 40);
}

// A command posted while the previous command's box is still open is already on its way when the
// box closes: closing the box must not reset it (or purge its reply), or it would vanish without a
// box.
TEST_F(LiveCommand, CommandPostedWhileABoxIsOpenSurvivesItsClosing) {
    send(QStringLiteral("25"));
    sendTick();
    rig.port.feed(withCrc(fromHex("01 06 00 1E 00 FA")));
    ASSERT_TRUE(untilBox().has_value());

    view().iSwitchRocker1->press(); // on -> off
    EXPECT_EQ(toHex(sendTick()), "01 05 00 0C 00 00 0D C9");
    rig.window.closeMessage(0);
    EXPECT_EQ(view().Edit11->text(), "");
    EXPECT_EQ(state().LiveCommand, 2);
    EXPECT_FALSE(state().SendPending);

    rig.port.feed(withCrc(fromHex("01 05 00 0C 00 00")));
    ASSERT_TRUE(untilBox().has_value());
    EXPECT_EQ(boxes(), (std::vector<std::string>{"Adopt Realtime Temperature!! | Set Correctly",
                                                 "Force Successfully! | Force Status"}));
}

TEST_F(LiveCommand, BoxClosedAfterTheMonitorIsGoneDoesNothing) {
    // An engine of its own: the fixture's monitor holds the live-command codes of its engine.
    EngineRig own;
    own.driver.showPage(Page::RealTimeDataPage);
    auto monitorOfTheirOwn =
        std::make_unique<RealTimeMonitor>(own.engine, view(), std::function<void(int)>{}, nullptr);
    view().Edit11->setText(QStringLiteral("25"));
    monitorOfTheirOwn->Button6Click();
    own.driver.tick(); // send
    own.port.feed(withCrc(fromHex("01 06 00 1E 00 FA")));
    ASSERT_TRUE(own.driver.runUntil([&] { return !own.window.messages().empty(); }, 5));
    monitorOfTheirOwn.reset();
    own.window.closeAll();
    EXPECT_EQ(view().Edit11->text(), "25");
    EXPECT_EQ(own.engine.state().LinkAliveTicks, 30);
}

} // namespace

#include "RealTimeFixture.h"
#include "Replies.h"

#include "link/CommEngine.h"
#include "link/LinkState.h"
#include "widgets/Dial.h"
#include "widgets/NumericReadout.h"
#include "widgets/Odometer.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RotarySwitch.h"
#include "widgets/RoundLed.h"
#include "widgets/Thermometer.h"

#include <QLineEdit>

#include <optional>
#include <stdexcept>
#include <string>

using namespace climate::link;
using namespace climate::realtime;
using namespace climate::widgets;

namespace {

using PollCircle = RealTimeFixture;

TEST_F(PollCircle, OneCircleReadsTheFourBlocksInOrderAndShowsEveryValue) {
    showRealTimeData();

    EXPECT_EQ(toHex(sendTick()), toHex(withCrc(fromHex("01 01 00 00 00 10"))));
    rig.port.feed(coilsReply(0x3F, 0x10));
    rig.driver.tick();
    EXPECT_EQ(toHex(sendTick()), toHex(withCrc(fromHex("01 02 00 00 00 12"))));
    rig.port.feed(inputsReply(0x00001));
    rig.driver.tick();
    EXPECT_EQ(toHex(sendTick()), toHex(withCrc(fromHex("01 03 00 29 00 03"))));
    rig.port.feed(settingsReply(255, static_cast<std::uint16_t>(-30)));
    rig.driver.tick();
    EXPECT_EQ(toHex(sendTick()), toHex(withCrc(fromHex("01 04 00 00 00 0E"))));
    rig.port.feed(measurementsReply(typicalMeasurements()));
    rig.driver.tick();
    EXPECT_EQ(state().PollStep, 0);
    EXPECT_TRUE(state().SendPending);

    const RealTimeView& v = view();
    struct Shown {
        const char* widget;
        double value;
        double expected;
    };
    const Shown shown[] = {
        {"iAngularGauge1", v.iAngularGauge[1]->position(), 1200},
        {"iOdometer1", v.iOdometer[1]->value(), 1200},
        {"iAngularGauge2", v.iAngularGauge[2]->position(), 1300},
        {"iOdometer2", v.iOdometer[2]->value(), 1300},
        {"iAngularGauge3", v.iAngularGauge[3]->position(), 2400},
        {"iOdometer3", v.iOdometer[3]->value(), 2400},
        {"iAngularGauge4", v.iAngularGauge[4]->position(), 2500},
        {"iOdometer4", v.iOdometer[4]->value(), 2500},
        {"iAnalogOutput3", v.iAnalogOutput[3]->value(), 25.3},
        {"iThermometer1", v.iThermometer[1]->position(), 25.3},
        {"iAnalogOutput4", v.iAnalogOutput[4]->value(), -5.5},
        {"iThermometer2", v.iThermometer[2]->position(), -5.5},
        {"iAnalogOutput5", v.iAnalogOutput[5]->value(), 48.2},
        {"iAngularGauge5", v.iAngularGauge[5]->position(), 48.2},
        {"iOdometer5", v.iOdometer[5]->value(), 3100},
        {"iAnalogOutput1", v.iAnalogOutput[1]->value(), 12.5},
        {"iAngularGauge7", v.iAngularGauge[7]->position(), 12.5},
        {"iAnalogOutput2", v.iAnalogOutput[2]->value(), 4.4},
        {"iAngularGauge6", v.iAngularGauge[6]->position(), 4.4},
        {"iAnalogOutput6", v.iAnalogOutput[6]->value(), 30.1},
        {"iThermometer3", v.iThermometer[3]->position(), 30.1},
    };
    for (const Shown& s : shown) {
        EXPECT_EQ(s.value, s.expected) << s.widget;
    }
    EXPECT_EQ(v.Edit19->text(), "1200");
    EXPECT_EQ(v.Edit20->text(), "2400");
    EXPECT_EQ(v.Edit3->text(), "25.5");
    EXPECT_EQ(v.Edit32->text(), "-3");
    for (int led = 1; led <= 4; ++led) {
        EXPECT_TRUE(v.iLedRound[led]->isActive()) << "iLedRound" << led;
    }
    EXPECT_EQ(v.iSwitchRotary1->position(), 0);
    EXPECT_EQ(v.iSwitchRotary2->position(), 0);
    EXPECT_TRUE(v.iSwitchRocker1->isOn());

    const LiveData& live = monitor.liveData();
    EXPECT_EQ(live.IntFan1Alarm, 1);
    EXPECT_EQ(live.ForcedOutput, 1);
    EXPECT_EQ(live.ForceOutputStatus, 1);
    // The alarm inputs are only stored; the alarm LEDs belong to Timer1.
    EXPECT_FALSE(v.iLedRound[5]->isActive());
}

TEST_F(PollCircle, LargeAndNegativeValuesOnTheirWidgets) {
    showRealTimeData();
    stage().pollStep(3);
    std::array<std::uint16_t, 14> registers{};
    registers[0] = 0xFFFF;
    registers[4] = 0xFF9C;
    registers[7] = 0xFF38; // -200 RPM
    exchange(measurementsReply(registers));

    EXPECT_EQ(view().Edit19->text(), "65535");
    EXPECT_EQ(view().iAngularGauge[1]->position(), 65535);
    EXPECT_EQ(view().iAnalogOutput[3]->value(), -10.0);
    EXPECT_EQ(view().iThermometer[1]->position(), -10.0);
    EXPECT_EQ(monitor.liveData().CompressorRev, -200);
    EXPECT_EQ(view().iOdometer[5]->value(), 0); // the odometer holds a negative speed as 0
}

TEST_F(PollCircle, StatusCoilsSetTheSwitchesBothWays) {
    showRealTimeData();
    exchange(coilsReply(0x30, 0x00));
    EXPECT_EQ(view().iSwitchRotary1->position(), 0);
    EXPECT_EQ(view().iSwitchRotary2->position(), 0);
    EXPECT_FALSE(view().iSwitchRocker1->isOn());
    EXPECT_FALSE(view().iLedRound[1]->isActive());

    rig.driver.run(3 * 102); // steps 1 ... 3 time out
    ASSERT_EQ(state().PollStep, 0);
    exchange(coilsReply(0x0A, 0x10));
    EXPECT_EQ(view().iSwitchRotary1->position(), 1);
    EXPECT_EQ(view().iSwitchRotary2->position(), 1);
    EXPECT_TRUE(view().iSwitchRocker1->isOn());
    EXPECT_FALSE(view().iLedRound[1]->isActive());
    EXPECT_TRUE(view().iLedRound[2]->isActive());
    EXPECT_FALSE(view().iLedRound[3]->isActive());
    EXPECT_TRUE(view().iLedRound[4]->isActive());
}

// The rocker set from coil 12 is a display update: with its click bound to the handler, as the
// window binds it, no force command may be posted by a poll.
TEST_F(PollCircle, RockerFromCoil12IsNeverAClick) {
    QObject::connect(view().iSwitchRocker1, &RockerSwitch::clicked,
                     [this] { monitor.iSwitchRocker1Change(); });
    showRealTimeData();
    exchange(coilsReply(0x00, 0x00));
    ASSERT_FALSE(view().iSwitchRocker1->isOn());
    rig.driver.run(3 * 102);
    exchange(coilsReply(0x00, 0x10));
    ASSERT_TRUE(view().iSwitchRocker1->isOn());

    EXPECT_EQ(state().LiveCommand, 0);
    EXPECT_EQ(state().PollStep, 1);
    EXPECT_TRUE(rig.window.messages().empty());
}

// What a reply that fails does to each step: where the circle goes, after how many receive
// ticks, and whether it counted as a sign of life.
TEST_F(PollCircle, StepOutcomes) {
    enum class Reply { WrongAddress, WrongFunction, BadCrc, None };
    struct Case {
        int step;
        Reply reply;
        int ticksToDecide; // receive ticks
        bool signOfLife;
    };
    const Case cases[] = {
        {0, Reply::WrongAddress, 1, true}, {0, Reply::WrongFunction, 1, true},
        {0, Reply::BadCrc, 101, false},    {0, Reply::None, 101, false},
        {1, Reply::WrongAddress, 1, true}, {1, Reply::WrongFunction, 1, true},
        {1, Reply::BadCrc, 1, false},      {1, Reply::None, 101, false},
        {2, Reply::WrongAddress, 1, true}, {2, Reply::BadCrc, 101, false},
        {2, Reply::None, 101, false},      {3, Reply::WrongFunction, 1, true},
        {3, Reply::BadCrc, 101, false},    {3, Reply::None, 101, false},
    };
    const std::vector<std::uint8_t> good[] = {coilsReply(0xFF, 0xFF), inputsReply(0x3FFFF),
                                              settingsReply(100, 20),
                                              measurementsReply(typicalMeasurements())};
    for (const Case& c : cases) {
        SCOPED_TRACE("step " + std::to_string(c.step) + ", reply " +
                     std::to_string(static_cast<int>(c.reply)));
        EngineRig fresh;
        RealTimePage freshPage;
        RealTimeMonitor freshMonitor(fresh.engine, freshPage.view(), {}, nullptr);
        fresh.driver.showPage(Page::RealTimeDataPage);
        EngineStaging(fresh.engine).pollStep(static_cast<std::uint8_t>(c.step));
        fresh.driver.tick(); // send

        std::vector<std::uint8_t> reply = good[c.step];
        switch (c.reply) {
        case Reply::WrongAddress:
        case Reply::WrongFunction: {
            std::vector<std::uint8_t> body(reply.begin(), reply.end() - 2);
            if (c.reply == Reply::WrongAddress) {
                body[0] = 2;
            } else {
                body[1] = static_cast<std::uint8_t>(body[1] == 1 ? 2 : 1);
            }
            reply = withCrc(body);
            break;
        }
        case Reply::BadCrc:
            reply.back() ^= 0xFF;
            break;
        case Reply::None:
            reply.clear();
            break;
        }
        fresh.port.feed(reply);
        const double barBefore = fresh.link.barPosition();
        const std::optional<int> ticks =
            fresh.driver.runUntil([&] { return fresh.engine.state().PollStep != c.step; }, 200);

        ASSERT_TRUE(ticks.has_value());
        EXPECT_EQ(*ticks, c.ticksToDecide);
        EXPECT_EQ(fresh.engine.state().PollStep, (c.step + 1) % 4);
        EXPECT_TRUE(fresh.engine.state().SendPending);
        EXPECT_EQ(fresh.engine.state().LinkAliveTicks, c.signOfLife ? 40 : 0);
        EXPECT_EQ(fresh.link.barPosition(), barBefore + (c.signOfLife ? 1 : 0));
        EXPECT_EQ(freshMonitor.liveData(), LiveData{}) << "a rejected reply changed the record";
        if (c.step == 1 && c.reply == Reply::BadCrc) {
            EXPECT_EQ(fresh.port.purgesAt(fresh.port.tick()), 1) << "input not purged";
        }
    }
}

TEST_F(PollCircle, GoodReplyPurgesMovesOnAndRefreshesTheLink) {
    showRealTimeData();
    stage().pollStep(2);
    exchange(settingsReply(10, 20));
    EXPECT_EQ(rig.port.purgesAt(rig.port.tick()), 1);
    EXPECT_EQ(state().PollStep, 3);
    EXPECT_EQ(state().LinkAliveTicks, 40);
    EXPECT_EQ(rig.link.barPosition(), climate::link::LinkState::StartPosition + 1);
}

// Each step waits 300 ms, then 100 receive ticks of 10 ms, and decides the time-out on the 101st.
TEST_F(PollCircle, SilentControllerCyclesOnTimeOutsAndDecodesNothing) {
    showRealTimeData();
    const std::int64_t start = rig.driver.elapsedMs();
    const std::optional<int> ticks =
        rig.driver.runUntil([&] { return state().PollStep == 0 && state().SendPending; }, 1000);
    ASSERT_TRUE(ticks.has_value());
    EXPECT_EQ(rig.driver.elapsedMs() - start, 4 * (300 + 101 * 10));
    EXPECT_EQ(monitor.liveData(), LiveData{});
    EXPECT_EQ(state().LinkAliveTicks, 0);
}

TEST_F(PollCircle, TestLogRowWhenMoreThan20TicksPassed) {
    showRealTimeData();
    stage().pollStep(3);
    monitor.setLogTickCount(20);
    exchange(measurementsReply(typicalMeasurements()));
    EXPECT_TRUE(log.rows.empty());
    EXPECT_EQ(monitor.logTickCount(), 20u);

    rig.driver.run(3 * 102);
    ASSERT_EQ(state().PollStep, 3);
    monitor.setLogTickCount(21);
    // The row is written after the step has moved on and before the link refresh.
    std::optional<int> stepAtRow;
    std::optional<int> linkTicksAtRow;
    log.onRow = [&] {
        stepAtRow = state().PollStep;
        linkTicksAtRow = state().LinkAliveTicks;
    };
    const std::uint8_t linkTicksBefore = state().LinkAliveTicks;
    std::array<std::uint16_t, 14> registers = typicalMeasurements();
    registers[7] = static_cast<std::uint16_t>(-5);
    exchange(measurementsReply(registers));

    ASSERT_EQ(log.rows.size(), 1u);
    const TestLogRow& row = log.rows.front();
    EXPECT_EQ(row.value("InternalFan1Rev"), 1200);
    EXPECT_EQ(row.value("InternalFan2Rev"), 1300);
    EXPECT_EQ(row.value("ExternalFan1Rev"), 2400);
    EXPECT_EQ(row.value("ExternalFan2Rev"), 2500);
    EXPECT_EQ(row.value("Temperature1"), 25.3);
    EXPECT_EQ(row.value("Temperature2"), -5.5);
    EXPECT_EQ(row.value("CompressorRev"), 0); // as the odometer holds it
    EXPECT_EQ(row.value("HeaterCurrent"), 4.4);
    EXPECT_EQ(monitor.logTickCount(), 0u);
    EXPECT_EQ(stepAtRow, 0);
    EXPECT_EQ(linkTicksAtRow, linkTicksBefore);
    EXPECT_EQ(state().LinkAliveTicks, 40);
}

TEST_F(PollCircle, RowsOnlyAfterGoodMeasurements) {
    showRealTimeData();
    monitor.setLogTickCount(100);
    exchange(coilsReply(0, 0));
    exchange(inputsReply(0));
    exchange(settingsReply(0, 0));
    EXPECT_TRUE(log.rows.empty());
    sendTick();
    rig.port.feed(registersReply(4, std::vector<std::uint16_t>(14, 0), 2)); // another slave
    rig.driver.tick();
    EXPECT_TRUE(log.rows.empty());
    EXPECT_EQ(monitor.logTickCount(), 100u);
}

// A log that fails throws out of the engine tick; the circle has already moved on and the count
// is reset, so the next tick goes on polling and the next row waits for 20 more ticks.
TEST_F(PollCircle, FailingLogLeavesTheCircleConsistent) {
    showRealTimeData();
    stage().pollStep(3);
    monitor.setLogTickCount(50);
    log.onRow = [] { throw std::runtime_error("workbook not writable"); };
    sendTick();
    rig.port.feed(measurementsReply(typicalMeasurements()));
    EXPECT_THROW(rig.driver.tick(), std::runtime_error);
    EXPECT_EQ(monitor.logTickCount(), 0u);
    EXPECT_EQ(state().PollStep, 0);
    EXPECT_TRUE(state().SendPending);
    EXPECT_EQ(monitor.liveData().InternalFan1Rev, 1200u);
    EXPECT_EQ(toHex(sendTick()), toHex(withCrc(fromHex("01 01 00 00 00 10"))));
}

} // namespace

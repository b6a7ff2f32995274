#include "RealTimeFixture.h"
#include "Replies.h"

#include "link/LinkState.h"
#include "realtime/LiveDisplay.h"
#include "widgets/Dial.h"
#include "widgets/NumericReadout.h"
#include "widgets/Odometer.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RotarySwitch.h"
#include "widgets/RoundLed.h"
#include "widgets/Thermometer.h"

#include <QLineEdit>

#include <set>
#include <string>

using namespace climate::realtime;
using climate::link::LinkState;

namespace {

class LiveDisplay : public RealTimeFixture {
protected:
    // A full circle with every value non-zero: all coils, all alarm inputs, the typical
    // measurements, and compressor settings 25.5 / 3.
    void pollEverything() {
        showRealTimeData();
        exchange(coilsReply(0xFF, 0xFF));
        exchange(inputsReply(0x3FFFF));
        exchange(settingsReply(255, 30));
        exchange(measurementsReply(typicalMeasurements()));
        ASSERT_EQ(monitor.liveData().Temperature3, 30.1);
    }

    // The alarm LEDs lit now.
    std::set<int> litAlarmLeds() const {
        std::set<int> lit;
        for (int led = 5; led <= 17; ++led) {
            if (view().iLedRound[led]->isActive()) {
                lit.insert(led);
            }
        }
        return lit;
    }

    // Ticks Timer1 until the next tick is a lit phase.
    void untilLitPhaseNext() {
        if (monitor.alarmBlinkPhase() == 0) {
            return;
        }
        monitor.Timer1Timer();
    }
};

// Timer1 counts the engine's link counter down and moves the link bar's model with it (the bar's
// own arithmetic is LinkState's test).
TEST_F(LiveDisplay, LastAliveTickStillGreenThenRedAt100) {
    stage().linkAliveTicks(1);
    monitor.Timer1Timer();
    EXPECT_EQ(state().LinkAliveTicks, 0);
    EXPECT_EQ(rig.link.barPosition(), LinkState::StartPosition + 1);
    EXPECT_TRUE(rig.link.answering());

    monitor.Timer1Timer();
    EXPECT_EQ(state().LinkAliveTicks, 0);
    EXPECT_EQ(rig.link.barPosition(), 100);
    EXPECT_FALSE(rig.link.answering());

    // A reply brings it back: green again from the next tick on.
    stage().linkAliveTicks(40);
    monitor.Timer1Timer();
    EXPECT_EQ(rig.link.barPosition(), 3);
    EXPECT_TRUE(rig.link.answering());
    EXPECT_EQ(state().LinkAliveTicks, 39);
}

TEST_F(LiveDisplay, LinkLossClearsExactlyTheListedValues) {
    pollEverything();
    LiveData expected = monitor.liveData();
    expected.IntFan1Alarm = 0;
    expected.IntFan2Alarm = 0;
    expected.ExtFan1Alarm = 0;
    expected.ExtFan2Alarm = 0;
    expected.CompressorAlarm1 = 0;
    expected.HeaterAlarm = 0;
    expected.TempSensor1Alarm = 0;
    expected.TempSensor2Alarm = 0;
    expected.VoltageAlarm1 = 0;
    expected.VoltageAlarm2 = 0;
    expected.HighTempAlarm = 0;
    expected.LowTempAlarm = 0;
    expected.InternalFan1Rev = 0;
    expected.InternalFan2Rev = 0;
    expected.ExternalFan1Rev = 0;
    expected.ExternalFan2Rev = 0;
    expected.Temperature1 = 0;
    expected.Temperature2 = 0;
    expected.SupplyVoltage = 0;
    expected.CompressorCurrent = 0;
    expected.CompressorRev = 0;

    for (int led = 1; led <= 4; ++led) {
        ASSERT_TRUE(view().iLedRound[led]->isActive()) << "iLedRound" << led << " before";
    }
    stage().linkAliveTicks(0);
    monitor.Timer1Timer();
    // The fans' running flags stay in the record while their LEDs go dark.
    EXPECT_EQ(monitor.liveData(), expected);
    // Kept: CompressorAlarm2, the pressure alarms, Temperature3, the heater current, the settings,
    // the output states.
    EXPECT_EQ(monitor.liveData().CompressorAlarm2, 1);
    EXPECT_EQ(monitor.liveData().HeaterCurrent, 4.4);

    const RealTimeView& v = view();
    struct Shown {
        const char* widget;
        double value;
        double expected;
    };
    const Shown shown[] = {
        // cleared
        {"iAngularGauge1", v.iAngularGauge[1]->position(), 0},
        {"iOdometer1", v.iOdometer[1]->value(), 0},
        {"iAngularGauge2", v.iAngularGauge[2]->position(), 0},
        {"iOdometer2", v.iOdometer[2]->value(), 0},
        {"iAngularGauge3", v.iAngularGauge[3]->position(), 0},
        {"iOdometer3", v.iOdometer[3]->value(), 0},
        {"iAngularGauge4", v.iAngularGauge[4]->position(), 0},
        {"iOdometer4", v.iOdometer[4]->value(), 0},
        {"iAnalogOutput3", v.iAnalogOutput[3]->value(), 0},
        {"iThermometer1", v.iThermometer[1]->position(), 0},
        {"iAnalogOutput4", v.iAnalogOutput[4]->value(), 0},
        {"iThermometer2", v.iThermometer[2]->position(), 0},
        {"iAnalogOutput5", v.iAnalogOutput[5]->value(), 0},
        {"iAngularGauge5", v.iAngularGauge[5]->position(), 0},
        {"iAnalogOutput1", v.iAnalogOutput[1]->value(), 0},
        {"iAngularGauge7", v.iAngularGauge[7]->position(), 0},
        {"iOdometer5", v.iOdometer[5]->value(), 0},
        // kept
        {"iAnalogOutput2", v.iAnalogOutput[2]->value(), 4.4},
        {"iAngularGauge6", v.iAngularGauge[6]->position(), 4.4},
        {"iAnalogOutput6", v.iAnalogOutput[6]->value(), 30.1},
        {"iThermometer3", v.iThermometer[3]->position(), 30.1},
    };
    for (const Shown& s : shown) {
        EXPECT_EQ(s.value, s.expected) << s.widget;
    }
    EXPECT_EQ(v.Edit19->text(), "0");
    EXPECT_EQ(v.Edit20->text(), "0");
    EXPECT_EQ(v.Edit3->text(), "25.5");
    EXPECT_EQ(v.Edit32->text(), "3");
    for (int led = 1; led <= 4; ++led) {
        EXPECT_FALSE(v.iLedRound[led]->isActive()) << "iLedRound" << led;
    }
    EXPECT_EQ(v.iSwitchRotary1->position(), 0);
    EXPECT_EQ(v.iSwitchRotary2->position(), 0);
    EXPECT_TRUE(v.iSwitchRocker1->isOn());
}

TEST_F(LiveDisplay, LogTickCountStopsAt10000) {
    monitor.setLogTickCount(9998);
    monitor.Timer1Timer();
    EXPECT_EQ(monitor.logTickCount(), 9999u);
    monitor.Timer1Timer();
    EXPECT_EQ(monitor.logTickCount(), 10000u);
    monitor.Timer1Timer();
    EXPECT_EQ(monitor.logTickCount(), 10000u);
}

TEST_F(LiveDisplay, FirstTickCountsTheLogTickFromZero) {
    EXPECT_EQ(monitor.logTickCount(), 0u);
    monitor.Timer1Timer();
    EXPECT_EQ(monitor.logTickCount(), 1u);
}

TEST_F(LiveDisplay, PhasesAlternateWithTheirIntervals) {
    EXPECT_EQ(monitor.alarmBlinkPhase(), 0);
    monitor.Timer1Timer();
    EXPECT_EQ(monitor.alarmBlinkPhase(), 1);
    monitor.Timer1Timer();
    EXPECT_EQ(monitor.alarmBlinkPhase(), 0);
    monitor.Timer1Timer();
    monitor.Timer1Timer();
    EXPECT_EQ(timer1Intervals, (std::vector<int>{1000, 500, 1000, 500}));
}

TEST_F(LiveDisplay, EachAlarmFlagLightsItsLedInTheLitPhaseOnly) {
    struct Case {
        std::uint8_t LiveData::*flag;
        int led;
    };
    const Case cases[] = {
        {&LiveData::IntFan1Alarm, 5},      {&LiveData::IntFan2Alarm, 7},
        {&LiveData::ExtFan1Alarm, 8},      {&LiveData::ExtFan2Alarm, 9},
        {&LiveData::CompressorAlarm1, 16}, {&LiveData::CompressorAlarm2, 16},
        {&LiveData::HighTempAlarm, 13},    {&LiveData::LowTempAlarm, 14},
        {&LiveData::TempSensor1Alarm, 11}, {&LiveData::TempSensor2Alarm, 12},
        {&LiveData::VoltageAlarm1, 17},    {&LiveData::VoltageAlarm2, 17},
        {&LiveData::HeaterAlarm, 6},       {&LiveData::HighPressureAlarm, 10},
        {&LiveData::LowPressureAlarm, 15},
    };
    stage().linkAliveTicks(200); // keep the link alive: a lost link clears most flags
    for (const Case& c : cases) {
        SCOPED_TRACE("iLedRound" + std::to_string(c.led));
        monitor.liveData() = LiveData{};
        monitor.liveData().*(c.flag) = 1;
        untilLitPhaseNext();
        monitor.Timer1Timer();
        EXPECT_EQ(litAlarmLeds(), std::set<int>{c.led});
        monitor.Timer1Timer();
        EXPECT_EQ(litAlarmLeds(), std::set<int>{});
    }
}

TEST_F(LiveDisplay, AlarmLedTableOrder) {
    LiveData live;
    std::vector<int> order;
    for (const AlarmLedState& state : alarmLedStates(live)) {
        order.push_back(state.led);
    }
    EXPECT_EQ(order, (std::vector<int>{5, 7, 8, 9, 16, 13, 14, 11, 12, 17, 6, 10, 15}));
}

TEST_F(LiveDisplay, NonAlarmLedsAreLeftToTheirOwners) {
    stage().linkAliveTicks(200);
    view().iLedRound[1]->setActive(true);
    view().iLedRound[18]->setActive(true);
    monitor.Timer1Timer();
    monitor.Timer1Timer();
    EXPECT_TRUE(view().iLedRound[1]->isActive());
    EXPECT_TRUE(view().iLedRound[18]->isActive());
}

TEST_F(LiveDisplay, UnclearedAlarmsKeepBlinkingAfterLinkLoss) {
    pollEverything();
    stage().linkAliveTicks(0);
    untilLitPhaseNext();
    monitor.Timer1Timer();
    EXPECT_EQ(litAlarmLeds(), (std::set<int>{10, 15, 16}));
    EXPECT_EQ(view().Edit19->text(), "0");
    monitor.Timer1Timer();
    EXPECT_EQ(litAlarmLeds(), std::set<int>{});
    monitor.Timer1Timer();
    EXPECT_EQ(litAlarmLeds(), (std::set<int>{10, 15, 16}));
}

TEST_F(LiveDisplay, AlarmRaisedDuringDarkPhaseShowsAtNextLitPhase) {
    stage().linkAliveTicks(200);
    untilLitPhaseNext();
    monitor.Timer1Timer(); // lit, nothing to show
    showRealTimeData();
    stage().pollStep(1);
    exchange(inputsReply(1u << 13));
    EXPECT_EQ(litAlarmLeds(), std::set<int>{});
    monitor.Timer1Timer(); // dark
    EXPECT_EQ(litAlarmLeds(), std::set<int>{});
    monitor.Timer1Timer(); // lit
    EXPECT_EQ(litAlarmLeds(), std::set<int>{17});
}

TEST_F(LiveDisplay, ForcedOutputLed) {
    struct Case {
        std::uint8_t forcedOutput;
        std::uint8_t status;
        bool litBefore;
        bool litAfter;
    };
    const Case cases[] = {
        {0, 0, true, false}, {0, 1, true, false}, {1, 0, false, true}, {1, 2, false, true},
        {1, 2, true, true},  {1, 1, false, true}, {1, 1, true, false},
    };
    for (const Case& c : cases) {
        monitor.liveData().ForcedOutput = c.forcedOutput;
        monitor.liveData().ForceOutputStatus = c.status;
        view().iLedRound[18]->setActive(c.litBefore);
        monitor.Timer3Timer(rig.window.visiblePage());
        EXPECT_EQ(view().iLedRound[18]->isActive(), c.litAfter)
            << int(c.forcedOutput) << "/" << int(c.status) << " lit before " << c.litBefore;
    }
}

TEST_F(LiveDisplay, ForcedOutputLedSurvivesLinkLoss) {
    pollEverything(); // coil 12 on, status 1
    stage().linkAliveTicks(0);
    monitor.Timer1Timer();
    monitor.Timer3Timer(rig.window.visiblePage());
    const bool first = view().iLedRound[18]->isActive();
    monitor.Timer3Timer(rig.window.visiblePage());
    EXPECT_NE(view().iLedRound[18]->isActive(), first) << "no longer blinking";
}

} // namespace

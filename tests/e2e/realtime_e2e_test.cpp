// The RealTimeData page against the controller simulator: the polling circle shows what the
// simulator holds, an alarm blinks its LED, the debug temperature and the forced output make the
// round trip, and pulling the line turns the link bar red and clears the live values.
#include "WindowOnSimulator.h"

#include "link/CommEngine.h"
#include "link/NamedPort.h"
#include "realtime/RealTimeMonitor.h"
#include "widgets/Dial.h"
#include "widgets/LedBar.h"
#include "widgets/NumericReadout.h"
#include "widgets/Odometer.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RotarySwitch.h"
#include "widgets/RoundLed.h"
#include "widgets/Thermometer.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace climate::widgets;

namespace {

class RealTimeE2eTest : public WindowOnSimulator {
protected:
    RoundLed* led(int n) { return child<RoundLed>("iLedRound" + std::to_string(n)); }

    void showRealTimeData() { child<QTabWidget>("Data")->setCurrentIndex(1); }

    // Requests the simulator has answered so far.
    int simulatorRequests() {
        const QString answer = sim.command(QStringLiteral("stats"));
        const qsizetype at = answer.indexOf(QStringLiteral("requests="));
        return at < 0 ? -1 : answer.mid(at + 9).section(QLatin1Char(' '), 0, 0).toInt();
    }

    // One whole circle after this call (4 good reads) takes nominally 1.24 s.
    bool waitFor(const std::function<bool()>& done, int timeoutMs = 5000) {
        return QTest::qWaitFor(done, timeoutMs);
    }
};

TEST_F(RealTimeE2eTest, PageShowsTheSimulatorsValuesWithinOneCircle) {
    const char* pins[] = {"set ir 0 1500", "set ir 1 65535", "set ir 2 2222", "set ir 3 0",
                          "set ir 4 -100", "set ir 5 253",   "set ir 6 482",  "set ir 7 -50",
                          "set ir 8 125",  "set ir 10 44",   "set ir 13 301", "set hr 41 255",
                          "set hr 42 -30", "set coil 0 1",   "set coil 1 0",  "set coil 4 1",
                          "set coil 5 0",  "set di 16 1"};
    for (const char* pin : pins) {
        ASSERT_TRUE(sim.commandOk(QString::fromLatin1(pin))) << pin;
    }
    ASSERT_TRUE(sim.commandOk(QStringLiteral("stats reset")));
    showRealTimeData();

    auto* edit3 = child<QLineEdit>("Edit3");
    ASSERT_TRUE(waitFor([&] { return edit3->text() == QStringLiteral("25.5"); }));
    ASSERT_TRUE(waitFor([&] { return child<Thermometer>("iThermometer3")->position() == 30.1; }));
    // Coils, inputs, settings, measurements: the first circle did it.
    EXPECT_LE(simulatorRequests(), 5);

    EXPECT_EQ(child<QLineEdit>("Edit19")->text(), QStringLiteral("1500"));
    EXPECT_EQ(child<Dial>("iAngularGauge2")->position(), 65535);
    EXPECT_EQ(child<Odometer>("iOdometer3")->value(), 2222);
    EXPECT_EQ(child<NumericReadout>("iAnalogOutput3")->value(), -10.0);
    EXPECT_EQ(child<Thermometer>("iThermometer2")->position(), 25.3);
    EXPECT_EQ(child<Dial>("iAngularGauge5")->position(), 48.2);
    EXPECT_EQ(child<Odometer>("iOdometer5")->value(), 0) << "a negative speed shows as 0";
    EXPECT_EQ(form->realTime().liveData().CompressorRev, -50);
    EXPECT_EQ(child<NumericReadout>("iAnalogOutput1")->value(), 12.5);
    EXPECT_EQ(child<Dial>("iAngularGauge6")->position(), 4.4);
    EXPECT_EQ(child<QLineEdit>("Edit32")->text(), QStringLiteral("-3"));
    EXPECT_TRUE(led(1)->isActive());
    EXPECT_FALSE(led(2)->isActive());
    EXPECT_EQ(child<RotarySwitch>("iSwitchRotary2")->position(), 0);
    EXPECT_EQ(child<RotarySwitch>("iSwitchRotary1")->position(), 1);
    EXPECT_EQ(form->realTime().liveData().HighPressureAlarm, 1);
    EXPECT_EQ(child<LedBar>("iLedBar1")->sectionColor1(), QColor(0, 255, 64));
    EXPECT_TRUE(messages->shown().empty()) << messages->describe();
}

TEST_F(RealTimeE2eTest, AlarmRaisedInTheSimulatorBlinksItsLed) {
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set di 13 1"))); // VoltageAlarm2
    showRealTimeData();
    ASSERT_TRUE(waitFor([&] { return led(17)->isActive(); }));
    ASSERT_TRUE(waitFor([&] { return !led(17)->isActive(); }, 2000));
    ASSERT_TRUE(waitFor([&] { return led(17)->isActive(); }, 2000));
    EXPECT_FALSE(led(10)->isActive());

    ASSERT_TRUE(sim.commandOk(QStringLiteral("set di 13 0")));
    // Within a circle and a lit phase the LED stays dark.
    ASSERT_TRUE(waitFor([&] { return form->realTime().liveData().VoltageAlarm2 == 0; }));
    // A full circle and more (a send and a receive tick per step), then two lit phases.
    ASSERT_TRUE(waitTimerTicks("Timer2", 10));
    for (int phase = 0; phase < 4; ++phase) {
        ASSERT_TRUE(waitTimerTicks("Timer1", 1));
        EXPECT_FALSE(led(17)->isActive()) << "Timer1 tick " << phase;
    }
}

TEST_F(RealTimeE2eTest, DebugTemperatureRoundTrip) {
    showRealTimeData();
    auto* edit11 = child<QLineEdit>("Edit11");
    edit11->setText(QStringLiteral("25.3"));
    child<QPushButton>("Button6")->click();
    ASSERT_TRUE(waitFor([&] { return !messages->shown().empty(); }));
    EXPECT_EQ(messages->lines(),
              std::vector<std::string>{"Adopt Realtime Temperature!! / Set Correctly"});
    EXPECT_EQ(sim.command(QStringLiteral("get hr 30")), QStringLiteral("ok 253"));
    EXPECT_EQ(edit11->text(), QStringLiteral("25.3")) << "emptied only once the box is closed";
    messages->closeAll();
    EXPECT_EQ(edit11->text(), QString());
    // The controller now works with the simulated temperature, and the page shows it.
    ASSERT_TRUE(waitFor([&] { return child<NumericReadout>("iAnalogOutput3")->value() == 25.3; }));

    // Out of range: 1100 goes out, the controller takes its sensor again.
    edit11->setText(QStringLiteral("100"));
    child<QPushButton>("Button6")->click();
    ASSERT_TRUE(waitFor([&] { return messages->shown().size() == 2; }));
    EXPECT_EQ(messages->lines().back(), "Adopt Realtime Temperature!! / Set Correctly");
    EXPECT_EQ(sim.command(QStringLiteral("get hr 30")), QStringLiteral("ok 1100"));

    // A controller that answers with another value.
    ASSERT_TRUE(sim.commandOk(QStringLiteral("debugreply 7")));
    edit11->setText(QStringLiteral("-12.34"));
    child<QPushButton>("Button6")->click();
    ASSERT_TRUE(waitFor([&] { return messages->shown().size() == 3; }));
    EXPECT_EQ(messages->lines().back(), "Adopt Simulant Temperature!! / Set Correctly");
    EXPECT_EQ(sim.command(QStringLiteral("get hr 30")), QStringLiteral("ok 65413")); // -123
}

TEST_F(RealTimeE2eTest, ForcedOutputRoundTrip) {
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set coil 12 0")));
    ASSERT_TRUE(sim.commandOk(QStringLiteral("unpin coil 12")));
    showRealTimeData();
    auto* rocker = child<RockerSwitch>("iSwitchRocker1");
    ASSERT_TRUE(waitFor([&] { return !rocker->isOn(); })) << "the coil poll sets the rocker";
    ASSERT_TRUE(waitFor([&] { return !led(18)->isActive(); }, 1000));

    rocker->press();
    EXPECT_TRUE(rocker->isOn());
    ASSERT_TRUE(waitFor([&] { return !messages->shown().empty(); }));
    EXPECT_EQ(messages->lines(), std::vector<std::string>{"Force Successfully! / Force Status"});
    EXPECT_EQ(sim.command(QStringLiteral("get coil 12")), QStringLiteral("ok 1"));
    EXPECT_TRUE(rocker->isOn());
    messages->closeAll();

    // Read back: coil 12 on with force status 1, so the LED blinks.
    ASSERT_TRUE(waitFor([&] {
        return form->realTime().liveData().ForcedOutput == 1 &&
               form->realTime().liveData().ForceOutputStatus == 1;
    }));
    ASSERT_TRUE(waitFor([&] { return led(18)->isActive(); }, 1000));
    ASSERT_TRUE(waitFor([&] { return !led(18)->isActive(); }, 1000));

    rocker->press();
    ASSERT_TRUE(waitFor([&] { return messages->shown().size() == 2; }));
    EXPECT_EQ(messages->lines().back(), "Force Successfully! / Force Status");
    EXPECT_EQ(sim.command(QStringLiteral("get coil 12")), QStringLiteral("ok 0"));
    EXPECT_FALSE(rocker->isOn());
}

TEST_F(RealTimeE2eTest, PulledLineTurnsTheBarRedAndClearsTheListedValues) {
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set ir 0 1500")));
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set ir 13 301")));
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set ir 10 44")));
    showRealTimeData();
    auto* edit19 = child<QLineEdit>("Edit19");
    ASSERT_TRUE(waitFor([&] { return edit19->text() == QStringLiteral("1500"); }));
    auto* bar = child<LedBar>("iLedBar1");
    ASSERT_TRUE(waitFor([&] { return bar->sectionColor1() == QColor(0, 255, 64); }));

    ASSERT_TRUE(sim.commandOk(QStringLiteral("pull")));
    ASSERT_TRUE(waitFor([&] { return form->port().isLost(); }));
    // No reply reloads the counter any more; 40 ticks of Timer1 (about 30 s) run it out.
    ASSERT_TRUE(waitFor([&] { return bar->sectionColor1() == QColor(255, 0, 0); }, 45000));
    EXPECT_EQ(bar->position(), 100);
    EXPECT_EQ(edit19->text(), QStringLiteral("0"));
    EXPECT_EQ(child<Dial>("iAngularGauge1")->position(), 0);
    EXPECT_EQ(child<Odometer>("iOdometer1")->value(), 0);
    EXPECT_EQ(form->realTime().liveData().InternalFan1Rev, 0u);
    // Kept: the third temperature and the heater current.
    EXPECT_EQ(child<Thermometer>("iThermometer3")->position(), 30.1);
    EXPECT_EQ(child<NumericReadout>("iAnalogOutput2")->value(), 4.4);

    // The port stays open, as the caption says: "Send" posts its command instead of saying
    // "ComPort Not Open!!".
    EXPECT_EQ(child<QPushButton>("Button1")->text(), QStringLiteral("Close"));
    messages->clear();
    child<QLineEdit>("Edit11")->setText(QStringLiteral("25"));
    child<QPushButton>("Button6")->click();
    EXPECT_TRUE(messages->shown().empty()) << messages->describe();
    EXPECT_NE(form->engine().state().LiveCommand, 0);
}

} // namespace

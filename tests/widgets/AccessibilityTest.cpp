#include "widgets/Dial.h"
#include "widgets/InstrumentAccessibility.h"
#include "widgets/LedBar.h"
#include "widgets/NumericReadout.h"
#include "widgets/Odometer.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RotarySwitch.h"
#include "widgets/RoundLed.h"
#include "widgets/Thermometer.h"
#include "widgets/XYPlot.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleValueInterface>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace climate::widgets;

namespace {

// Events the instruments raise towards assistive technology. Offscreen there is no platform bridge
// and Qt drops them, so they are caught where the instruments raise them.
std::vector<std::pair<QAccessible::Event, QObject*>> raisedEvents;

void recordEvent(QAccessibleEvent* event) {
    raisedEvents.emplace_back(event->type(), event->object());
}

class Accessibility : public ::testing::Test {
protected:
    void SetUp() override {
        installInstrumentAccessibility();
        raisedEvents.clear();
        m_previousObserver = setInstrumentEventObserver(recordEvent);
    }
    void TearDown() override { setInstrumentEventObserver(m_previousObserver); }

    static QAccessibleInterface* face(QWidget& widget) {
        return QAccessible::queryAccessibleInterface(&widget);
    }
    static int eventsFor(QObject* object, QAccessible::Event type) {
        int n = 0;
        for (const auto& [t, o] : raisedEvents) {
            n += (t == type && o == object) ? 1 : 0;
        }
        return n;
    }

private:
    InstrumentEventObserver m_previousObserver = nullptr;
};

TEST_F(Accessibility, ValueInstrumentsReadTheirValueWithUnit) {
    Dial dial;
    dial.setAccessibleName(QStringLiteral("Intfan1 speed"));
    dial.setRange(0, 3000);
    dial.setUnitText(QStringLiteral("RPM"));
    dial.setPosition(1450);
    Thermometer thermometer;
    thermometer.setAccessibleName(QStringLiteral("Temperature 1"));
    thermometer.setUnitText(QStringLiteral("℃"));
    thermometer.setPosition(-10);
    Odometer odometer;
    odometer.setAccessibleName(QStringLiteral("Intfan1 revolutions"));
    odometer.setUnitText(QStringLiteral("RPM"));
    odometer.setValue(1450);
    NumericReadout readout;
    readout.setAccessibleName(QStringLiteral("Supply voltage"));
    readout.setUnit(QStringLiteral("V"));
    readout.setValue(48.3);
    LedBar bar;
    bar.setAccessibleName(QStringLiteral("Link"));
    bar.setUnitText(QStringLiteral("%"));
    bar.setPosition(57);

    struct Case {
        QWidget* widget;
        QAccessible::Role role;
        QString name;
        QString value;
    };
    const Case cases[] = {
        {&dial, QAccessible::Indicator, "Intfan1 speed", "1450 RPM"},
        {&thermometer, QAccessible::Indicator, "Temperature 1", "-10.0 ℃"},
        {&odometer, QAccessible::Indicator, "Intfan1 revolutions", "1450 RPM"},
        {&readout, QAccessible::Indicator, "Supply voltage", "48.3 V"},
        {&bar, QAccessible::ProgressBar, "Link", "57 %"},
    };
    for (const Case& c : cases) {
        QAccessibleInterface* iface = face(*c.widget);
        ASSERT_NE(iface, nullptr) << c.name.toStdString();
        EXPECT_EQ(iface->role(), c.role) << c.name.toStdString();
        EXPECT_EQ(iface->text(QAccessible::Name), c.name);
        EXPECT_EQ(iface->text(QAccessible::Value), c.value);
        EXPECT_TRUE(iface->state().readOnly);
        ASSERT_NE(iface->valueInterface(), nullptr);
    }

    QAccessibleValueInterface* value = face(dial)->valueInterface();
    EXPECT_EQ(value->currentValue().toDouble(), 1450.0);
    EXPECT_EQ(value->minimumValue().toDouble(), 0.0);
    EXPECT_EQ(value->maximumValue().toDouble(), 3000.0);
    // Assistive technology cannot move an instrument.
    value->setCurrentValue(10.0);
    EXPECT_EQ(dial.position(), 1450.0);
    // A readout shows any number: no range to report.
    EXPECT_EQ(face(readout)->valueInterface()->currentValue().toDouble(), 48.3);
    EXPECT_FALSE(face(readout)->valueInterface()->maximumValue().isValid());
    EXPECT_EQ(face(odometer)->valueInterface()->maximumValue().toDouble(), 9999.0);
}

TEST_F(Accessibility, ValueChangesAreAnnounced) {
    Dial dial;
    Thermometer thermometer;
    Odometer odometer;
    NumericReadout readout;
    LedBar bar;
    dial.setPosition(100);
    dial.setPosition(100);
    thermometer.setPosition(21.5);
    odometer.setValue(3);
    readout.setValue(7.5);
    bar.setPosition(40);
    EXPECT_EQ(eventsFor(&dial, QAccessible::ValueChanged), 1);
    EXPECT_EQ(eventsFor(&thermometer, QAccessible::ValueChanged), 1);
    EXPECT_EQ(eventsFor(&odometer, QAccessible::ValueChanged), 1);
    EXPECT_EQ(eventsFor(&readout, QAccessible::ValueChanged), 1);
    EXPECT_EQ(eventsFor(&bar, QAccessible::ValueChanged), 1);
    EXPECT_EQ(face(dial)->text(QAccessible::Value), QStringLiteral("100"));
}

TEST_F(Accessibility, LedIsACheckedIndicator) {
    RoundLed led;
    led.setAccessibleName(QStringLiteral("Intfan1 status"));
    QAccessibleInterface* iface = face(led);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Indicator);
    EXPECT_TRUE(iface->state().checkable);
    EXPECT_FALSE(iface->state().checked);
    EXPECT_EQ(iface->text(QAccessible::Value), QStringLiteral("off"));

    led.setActive(true);
    EXPECT_TRUE(iface->state().checked);
    EXPECT_EQ(iface->text(QAccessible::Value), QStringLiteral("on"));
    EXPECT_EQ(eventsFor(&led, QAccessible::StateChanged), 1);
    led.setActive(true);
    EXPECT_EQ(eventsFor(&led, QAccessible::StateChanged), 1);
}

TEST_F(Accessibility, RotarySwitchReadsTheLabelItShows) {
    RotarySwitch rotary;
    rotary.setPositionLabels(
        {QStringLiteral("On"), QStringLiteral("Off"), QStringLiteral("Enable")});
    rotary.setPosition(0);
    QAccessibleInterface* iface = face(rotary);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->text(QAccessible::Value), QStringLiteral("On"));
    ASSERT_NE(iface->valueInterface(), nullptr);
    EXPECT_EQ(iface->valueInterface()->maximumValue().toInt(), 2);

    // Turning it through assistive technology is turning it by hand: the picture only.
    iface->valueInterface()->setCurrentValue(2);
    EXPECT_EQ(iface->text(QAccessible::Value), QStringLiteral("Enable"));
    EXPECT_EQ(rotary.position(), 0);
    EXPECT_EQ(eventsFor(&rotary, QAccessible::ValueChanged), 1);
}

TEST_F(Accessibility, RockerPressActionPostsLikeAClick) {
    RockerSwitch rocker;
    rocker.setAccessibleName(QStringLiteral("Forced output"));
    rocker.setOn(true);
    std::vector<bool> stateSeenByHandler;
    QObject::connect(
        &rocker, &RockerSwitch::clicked, &rocker,
        [&] { stateSeenByHandler.push_back(rocker.isOn()); }, Qt::DirectConnection);

    QAccessibleInterface* iface = face(rocker);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::CheckBox);
    EXPECT_TRUE(iface->state().checkable);
    EXPECT_TRUE(iface->state().checked);
    QAccessibleActionInterface* actions = iface->actionInterface();
    ASSERT_NE(actions, nullptr);
    EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    EXPECT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::toggleAction()));

    raisedEvents.clear();
    actions->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(stateSeenByHandler, std::vector<bool>{true});
    EXPECT_FALSE(rocker.isOn());
    EXPECT_FALSE(iface->state().checked);
    EXPECT_EQ(eventsFor(&rocker, QAccessible::StateChanged), 1);

    actions->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(stateSeenByHandler, (std::vector<bool>{true, false}));
    EXPECT_TRUE(rocker.isOn());

    // The program's own setting is announced to assistive technology but posts no click.
    rocker.setOn(false);
    EXPECT_EQ(stateSeenByHandler.size(), 2U);
    EXPECT_EQ(eventsFor(&rocker, QAccessible::StateChanged), 3);
}

TEST_F(Accessibility, PlotDescribesItsChannels) {
    XYPlot plot;
    plot.setAccessibleName(QStringLiteral("Fan curves"));
    plot.setChannel(0, QStringLiteral("Intfan"), Qt::red, 2);
    plot.setChannel(1, QStringLiteral("Extfan"), Qt::yellow, 2);
    plot.addPoint(0, -45, 0);
    plot.addPoint(0, 25, 1200);
    plot.addPoint(1, 30, 0);
    QAccessibleInterface* iface = face(plot);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Chart);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Fan curves"));
    EXPECT_EQ(iface->text(QAccessible::Description),
              QStringLiteral("Intfan: 2 points; Extfan: 1 point"));
    raisedEvents.clear();
    plot.clearChannel(0);
    EXPECT_EQ(iface->text(QAccessible::Description),
              QStringLiteral("Intfan: 0 points; Extfan: 1 point"));
    EXPECT_EQ(eventsFor(&plot, QAccessible::DescriptionChanged), 1);
}

} // namespace

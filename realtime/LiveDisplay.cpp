#include "LiveDisplay.h"

#include "LiveChannels.h"
#include "LiveData.h"
#include "RealTimeView.h"
#include "link/Invariant.h"
#include "link/NumberText.h"
#include "widgets/Dial.h"
#include "widgets/NumericReadout.h"
#include "widgets/Odometer.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RotarySwitch.h"
#include "widgets/RoundLed.h"
#include "widgets/Thermometer.h"

#include <QLineEdit>

#include <algorithm>

namespace climate::realtime {

using namespace climate::link;

namespace {

template <typename Widget, std::size_t N>
Widget* widget(const std::array<Widget*, N>& widgets, int n) {
    return widgets.at(static_cast<std::size_t>(n));
}

QLineEdit* edit(const RealTimeView& view, int n) {
    switch (n) {
    case 3:
        return view.Edit3;
    case 19:
        return view.Edit19;
    case 20:
        return view.Edit20;
    case 32:
        return view.Edit32;
    default:
        break;
    }
    return nullptr;
}

widgets::RotarySwitch* rotary(const RealTimeView& view, int n) {
    return n == 1 ? view.iSwitchRotary1 : view.iSwitchRotary2;
}

} // namespace

void showChannel(const LiveChannel& channel, const LiveData& live, const RealTimeView& view) {
    const double value = channel.value(live);
    const PageWidgets& page = channel.page;
    if (page.edit != 0) {
        QLineEdit* field = edit(view, page.edit);
        checkInvariant(field != nullptr, "a live channel names an edit the page does not have");
        field->setText(QString::fromStdString(formatGeneral(value)));
    }
    if (page.readout != 0) {
        widget(view.iAnalogOutput, page.readout)->setValue(value);
    }
    if (page.gauge != 0) {
        widget(view.iAngularGauge, page.gauge)->setPosition(value);
    }
    if (page.odometer != 0) {
        widget(view.iOdometer, page.odometer)->setValue(value);
    }
    if (page.thermometer != 0) {
        widget(view.iThermometer, page.thermometer)->setPosition(value);
    }
    const bool on = value == 1;
    if (page.led != 0) {
        widget(view.iLedRound, page.led)->setActive(on);
    }
    // Rotary switch positions: 0 is "On", 1 is "Off".
    if (page.rotary != 0) {
        rotary(view, page.rotary)->setPosition(on ? 0 : 1);
    }
    if (page.rocker) {
        view.iSwitchRocker1->setOn(on);
    }
}

void showGroup(LiveGroup group, const LiveData& live, const RealTimeView& view) {
    for (const LiveChannel& channel : liveChannels()) {
        if (channel.group == group) {
            showChannel(channel, live, view);
        }
    }
}

void showLostLinkValues(const LiveData& live, const RealTimeView& view) {
    for (const LiveChannel& channel : liveChannels()) {
        if (channel.onLinkLoss == OnLinkLoss::Zeroed) {
            showChannel(channel, live, view);
        } else if (channel.onLinkLoss == OnLinkLoss::PageOff && channel.page.led != 0) {
            widget(view.iLedRound, channel.page.led)->setActive(false);
        }
    }
}

std::array<AlarmLedState, 13> alarmLedStates(const LiveData& live) {
    std::array<AlarmLedState, 13> states{};
    const std::span<const AlarmLed> leds = alarmLeds();
    checkInvariant(leds.size() == states.size(), "the page has thirteen alarm LEDs");
    std::ranges::transform(leds, states.begin(), [&](const AlarmLed& led) {
        return AlarmLedState{led.led, alarmLit(led, live)};
    });
    return states;
}

void showAlarmPhase(const LiveData& live, const RealTimeView& view, bool litPhase) {
    if (litPhase) {
        for (const AlarmLedState& state : alarmLedStates(live)) {
            widget(view.iLedRound, state.led)->setActive(state.lit);
        }
        return;
    }
    for (int led = 5; led <= 17; ++led) {
        widget(view.iLedRound, led)->setActive(false);
    }
}

} // namespace climate::realtime

#pragma once

#include "LiveGroup.h"

#include <array>

namespace climate::realtime {

struct LiveChannel;
struct LiveData;
struct RealTimeView;

// Putting the live record on the RealTimeData page, as the channel table places each value.
// Every value is set on every call, changed or not, in the table's order.

// One channel on its widgets. A flag's rocker is set without notification, so a poll never counts
// as a click.
void showChannel(const LiveChannel& channel, const LiveData& live, const RealTimeView& view);
// Every channel of `group` (the alarm inputs have none of their own: the blinking LEDs show them).
void showGroup(LiveGroup group, const LiveData& live, const RealTimeView& view);

// The link is lost: the widgets of the values clearLostLinkRecord zeroed show them again (0), and
// the fans' running LEDs go dark although their flags keep their values. The others keep showing
// their last values.
void showLostLinkValues(const LiveData& live, const RealTimeView& view);

// One alarm LED of the page and whether the record asks for it to be lit.
struct AlarmLedState {
    int led = 0; // n of iLedRound<n>
    bool lit = false;
};

// The thirteen alarm LEDs, in the order the lit phase sets them.
[[nodiscard]] std::array<AlarmLedState, 13> alarmLedStates(const LiveData& live);

// One phase of the alarm blinking: in the lit phase every alarm LED follows its condition, in the
// dark phase all are off.
void showAlarmPhase(const LiveData& live, const RealTimeView& view, bool litPhase);

} // namespace climate::realtime

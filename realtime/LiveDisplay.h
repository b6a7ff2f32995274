#pragma once

#include <array>

namespace climate::realtime {

struct LiveData;
struct RealTimeView;

// Putting the live record on the RealTimeData page. Every value is set on every call, changed or
// not; the widgets are set in the order the page has always used.

// Step 0: the status LEDs, the two rotary switches and the rocker. The rocker is set without
// notification, so a poll never counts as a click.
void showStatusCoils(const LiveData& live, const RealTimeView& view);
// Step 2: the compressor start temperature and difference in Edit3 and Edit32.
void showCompressorSettings(const LiveData& live, const RealTimeView& view);
// Step 3: speeds, temperatures, voltage and currents.
void showMeasurements(const LiveData& live, const RealTimeView& view);

// The link is lost: the widgets of the values clearLostLinkRecord zeroes show 0, and the fans'
// running LEDs go dark. The others keep showing their last values.
void showLostLinkValues(const RealTimeView& view);

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

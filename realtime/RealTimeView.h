#pragma once

#include <array>

class QLineEdit;

namespace climate::link {
class PortGate;
} // namespace climate::link

namespace climate::widgets {
class Dial;
class NumericReadout;
class Odometer;
class RockerSwitch;
class RotarySwitch;
class RoundLed;
class Thermometer;
} // namespace climate::widgets

namespace climate::realtime {

// The widgets of the RealTimeData page, as the monitoring code sees them. The arrays are indexed by
// the number in the widget's name (iLedRound[17] is iLedRound17); index 0 is unused.
struct RealTimeView {
    std::array<widgets::Dial*, 8> iAngularGauge{};
    std::array<widgets::Odometer*, 6> iOdometer{};
    std::array<widgets::Thermometer*, 4> iThermometer{};
    std::array<widgets::NumericReadout*, 7> iAnalogOutput{};
    std::array<widgets::RoundLed*, 19> iLedRound{};
    widgets::RotarySwitch* iSwitchRotary1 = nullptr;
    widgets::RotarySwitch* iSwitchRotary2 = nullptr;
    widgets::RockerSwitch* iSwitchRocker1 = nullptr;
    QLineEdit* Edit3 = nullptr;           // compressor start temperature
    QLineEdit* Edit32 = nullptr;          // compressor temperature difference
    QLineEdit* Edit11 = nullptr;          // debug temperature
    QLineEdit* Edit19 = nullptr;          // hidden: internal fan 1 speed
    QLineEdit* Edit20 = nullptr;          // hidden: external fan 1 speed
    const link::PortGate* port = nullptr; // whether the port is open
};

} // namespace climate::realtime

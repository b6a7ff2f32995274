#pragma once

#include <array>

class Dial;
class LedBar;
class NumericReadout;
class Odometer;
class QLineEdit;
class PortGate;
class RockerSwitch;
class RotarySwitch;
class RoundLed;
class Thermometer;

// The widgets of the RealTimeData page and the link bar above the pages, as the monitoring code
// sees them. The arrays are indexed by the number in the widget's name (iLedRound[17] is
// iLedRound17); index 0 is unused.
struct RealTimeView {
    std::array<Dial*, 8> iAngularGauge{};
    std::array<Odometer*, 6> iOdometer{};
    std::array<Thermometer*, 4> iThermometer{};
    std::array<NumericReadout*, 7> iAnalogOutput{};
    std::array<RoundLed*, 19> iLedRound{};
    RotarySwitch* iSwitchRotary1 = nullptr;
    RotarySwitch* iSwitchRotary2 = nullptr;
    RockerSwitch* iSwitchRocker1 = nullptr;
    LedBar* iLedBar1 = nullptr;
    QLineEdit* Edit3 = nullptr;     // compressor start temperature
    QLineEdit* Edit32 = nullptr;    // compressor temperature difference
    QLineEdit* Edit11 = nullptr;    // debug temperature
    QLineEdit* Edit19 = nullptr;    // hidden: internal fan 1 speed
    QLineEdit* Edit20 = nullptr;    // hidden: external fan 1 speed
    const PortGate* port = nullptr; // whether the port is open
};

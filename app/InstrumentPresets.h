#pragma once

#include "widgets/Dial.h"
#include "widgets/ScaleSection.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>

namespace climate::widgets {
class LedBar;
class Odometer;
class RotarySwitch;
class Thermometer;
class XYPlot;
} // namespace climate::widgets

namespace climate::app {

// How the window sets up its instruments (ranges, coloured sections, scales, units, colours): the
// window's choices, which the widget gallery shows too. Where an instrument sits, its name
// and its accessible name stay with the page that places it.

struct DialPreset {
    double maximum = 0;
    QList<widgets::ScaleSection> sections;
    double arcStartDeg = 0;
    double arcSpanDeg = 0;
    widgets::Dial::PointerStyle pointer = widgets::Dial::PointerStyle::Needle;
    QString unit;
    int decimals = 0;
    int majorTicks = 0; // 0: the dial's own default
};

// The four fan speeds, 0 ... 3000 RPM.
[[nodiscard]] DialPreset fanSpeedDial();
// Quarter dials: compressor current, heater current, supply voltage.
[[nodiscard]] DialPreset compressorCurrentDial();
[[nodiscard]] DialPreset heaterCurrentDial();
[[nodiscard]] DialPreset supplyVoltageDial();

struct RotarySwitchPreset {
    QStringList positions;
    int position = 0; // where it stands before the first poll
};

// "On", "Off", "Enable" and "On", "Off".
[[nodiscard]] RotarySwitchPreset compressorSwitch();
[[nodiscard]] RotarySwitchPreset heaterSwitch();

// Lamp colours: green for a running fan or the forced output, red for an alarm.
[[nodiscard]] QColor runningLampColor();
[[nodiscard]] QColor alarmLampColor();
// The magenta face of the forced-output rocker.
[[nodiscard]] QColor rockerBackgroundColor();

void applyPreset(widgets::Dial& dial, const DialPreset& preset);
void applyPreset(widgets::RotarySwitch& rotary, const RotarySwitchPreset& preset);
// The link bar: green segments, one pixel apart.
void applyLinkBar(widgets::LedBar& bar);
// The revolution counters: RPM.
void applyRevolutionCounter(widgets::Odometer& odometer);
// The three temperatures, -40 ... 80 ℃.
void applyTemperatureScale(widgets::Thermometer& thermometer);
// The fan curve plot: temperature against speed, red internal and yellow external fans.
void applyFanCurvePlot(widgets::XYPlot& plot);

} // namespace climate::app

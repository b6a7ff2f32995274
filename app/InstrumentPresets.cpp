#include "InstrumentPresets.h"

#include "widgets/LedBar.h"
#include "widgets/Odometer.h"
#include "widgets/RotarySwitch.h"
#include "widgets/Thermometer.h"
#include "widgets/XYPlot.h"

namespace climate::app {

using namespace climate::widgets;

namespace {

const QColor Yellow(255, 255, 0);
const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);
const QColor Blue(0, 128, 255);

DialPreset quarterDial(double maximum, QList<ScaleSection> sections, int majorTicks,
                       const QString& unit) {
    return {.maximum = maximum,
            .sections = std::move(sections),
            .arcStartDeg = 180,
            .arcSpanDeg = 90,
            .pointer = Dial::PointerStyle::ArrowLine,
            .unit = unit,
            .decimals = 1,
            .majorTicks = majorTicks};
}

} // namespace

DialPreset fanSpeedDial() {
    return {.maximum = 3000,
            .sections = {{0, 1000, Yellow}, {1000, 2700, Green}, {2700, 3000, Red}},
            .arcStartDeg = 220,
            .arcSpanDeg = 260,
            .pointer = Dial::PointerStyle::Needle,
            .unit = QStringLiteral("RPM"),
            .decimals = 0};
}

DialPreset compressorCurrentDial() {
    return quarterDial(35, {{0, 5, Red}, {5, 30, Green}, {30, 35, Red}}, 6, QStringLiteral("A"));
}

DialPreset heaterCurrentDial() {
    return quarterDial(10, {{0, 4, Red}, {4, 8, Green}, {8, 10, Red}}, 6, QStringLiteral("A"));
}

DialPreset supplyVoltageDial() {
    return quarterDial(80, {{0, 40, Red}, {40, 60, Green}, {60, 80, Red}}, 0, QStringLiteral("V"));
}

RotarySwitchPreset compressorSwitch() {
    return {{QStringLiteral("On"), QStringLiteral("Off"), QStringLiteral("Enable")}, 0};
}

RotarySwitchPreset heaterSwitch() {
    return {{QStringLiteral("On"), QStringLiteral("Off")}, 1};
}

QColor runningLampColor() {
    return Green;
}

QColor alarmLampColor() {
    return Red;
}

QColor rockerBackgroundColor() {
    return {255, 0, 255};
}

void applyPreset(Dial& dial, const DialPreset& preset) {
    dial.setRange(0, preset.maximum);
    dial.setSections(preset.sections);
    dial.setArc(preset.arcStartDeg, preset.arcSpanDeg);
    dial.setPointerStyle(preset.pointer);
    dial.setUnitText(preset.unit);
    dial.setDecimals(preset.decimals);
    if (preset.majorTicks > 0) {
        dial.setMajorTicks(preset.majorTicks);
    }
}

void applyPreset(RotarySwitch& rotary, const RotarySwitchPreset& preset) {
    rotary.setPositionLabels(preset.positions);
    rotary.setPointerColor(Blue);
    rotary.setPosition(preset.position);
}

void applyLinkBar(LedBar& bar) {
    bar.setSectionColor1(QColor(0, 255, 64));
    bar.setSegmentSpacing(1);
}

void applyRevolutionCounter(Odometer& odometer) {
    odometer.setUnitText(QStringLiteral("RPM"));
}

void applyTemperatureScale(Thermometer& thermometer) {
    thermometer.setRange(-40, 80);
    thermometer.setUnitText(QStringLiteral("℃"));
}

void applyFanCurvePlot(XYPlot& plot) {
    plot.setXAxis(QStringLiteral("Temperature"), -45, 125);
    plot.setYAxis(QStringLiteral("FanRPM"), 0, 5500);
    plot.setChannel(0, QStringLiteral("Intfan"), Red, 2);
    plot.setChannel(1, QStringLiteral("Extfan"), Yellow, 2);
    plot.setLegendVisible(true);
    plot.setBackgroundColor(QColor(192, 192, 192));
}

} // namespace climate::app

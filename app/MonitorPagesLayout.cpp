#include "MonitorPagesLayout.h"

#include "FormBuilder.h"
#include "InstrumentPresets.h"
#include "ShownPictureLabel.h"

#include "realtime/LiveChannels.h"
#include "widgets/Dial.h"
#include "widgets/NumericReadout.h"
#include "widgets/Odometer.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RotarySwitch.h"
#include "widgets/RoundLed.h"
#include "widgets/Thermometer.h"
#include "widgets/XYPlot.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <stdexcept>
#include <string>

namespace climate::app {

using namespace climate::curves;
using namespace climate::realtime;
using namespace climate::widgets;

namespace {

template <typename Widget> Widget* place(QWidget* parent, const QString& name, QRect geometry) {
    auto* widget = new Widget(parent);
    widget->setObjectName(name);
    widget->setGeometry(geometry);
    return widget;
}

Dial* dial(QWidget* parent, int n, QRect geometry, const DialPreset& preset,
           const QString& accessibleName) {
    auto* gauge = place<Dial>(parent, QStringLiteral("iAngularGauge%1").arg(n), geometry);
    applyPreset(*gauge, preset);
    gauge->setAccessibleName(accessibleName);
    return gauge;
}

NumericReadout* readout(QWidget* parent, int n, QRect geometry, const QString& unit,
                        const QString& accessibleName) {
    auto* output =
        place<NumericReadout>(parent, QStringLiteral("iAnalogOutput%1").arg(n), geometry);
    output->setUnit(unit);
    output->setEnabled(false); // display only
    output->setAccessibleName(accessibleName);
    return output;
}

Odometer* odometer(QWidget* parent, int n, QRect geometry, const QString& accessibleName) {
    auto* counter = place<Odometer>(parent, QStringLiteral("iOdometer%1").arg(n), geometry);
    applyRevolutionCounter(*counter);
    counter->setAccessibleName(accessibleName);
    return counter;
}

RoundLed* led(QWidget* parent, int n, QPoint at, const QColor& color, const QString& name) {
    auto* lamp =
        place<RoundLed>(parent, QStringLiteral("iLedRound%1").arg(n), QRect(at, QSize(16, 16)));
    lamp->setActiveColor(color);
    lamp->setActive(false);
    lamp->setAccessibleName(name);
    return lamp;
}

// What an instrument shows, as the live channel table says: its name for a screen reader, and a
// tool tip (read as its description) for those who cannot tell it by its place.
void describe(QWidget* widget, const char* name, const char* description) {
    widget->setAccessibleName(QString::fromUtf8(name));
    widget->setToolTip(QString::fromUtf8(description));
    widget->setAccessibleDescription(QString::fromUtf8(description));
}

const LiveChannel& channelOnThermometer(int n) {
    for (const LiveChannel& channel : liveChannels()) {
        if (channel.page.thermometer == n) {
            return channel;
        }
    }
    throw std::logic_error("no live channel is shown on iThermometer" + std::to_string(n));
}

// An alarm LED named and described by its row of the alarm table.
RoundLed* alarmLed(QWidget* parent, int n, QPoint at) {
    RoundLed* lamp = led(parent, n, at, alarmLampColor(), QString());
    for (const AlarmLed& alarm : alarmLeds()) {
        if (alarm.led == n) {
            describe(lamp, (std::string(alarm.name) + " alarm").c_str(), alarm.description);
            return lamp;
        }
    }
    throw std::logic_error("iLedRound" + std::to_string(n) + " is no alarm LED");
}

QLineEdit* hiddenEdit(QWidget* parent, const QString& name) {
    auto* edit = new QLineEdit(QStringLiteral("0"), parent);
    edit->setObjectName(name);
    edit->setGeometry(10, 10, 40, 20);
    edit->lower();
    edit->hide(); // covered by the Compressor group, never seen
    return edit;
}

void fanGroup(FormBuilder& b, QWidget* page, RealTimeView& view, const QString& title, int y,
              int first, const QString& kind) {
    QGroupBox* group = b.group(page, title, 8, y, 321, 206);
    const int a = first;     // first fan's number (1 or 3)
    const int c = first + 1; // second fan's number
    view.iAngularGauge[a] = dial(group, a, QRect(8, 16, 150, 112), fanSpeedDial(),
                                 QStringLiteral("%1%2 speed").arg(kind).arg(1));
    view.iAngularGauge[c] = dial(group, c, QRect(163, 16, 150, 112), fanSpeedDial(),
                                 QStringLiteral("%1%2 speed").arg(kind).arg(2));
    QLabel* name1 = b.label(group, QStringLiteral("%1%2").arg(kind).arg(1), 8, 128, 150, 16);
    QLabel* name2 = b.label(group, QStringLiteral("%1%2").arg(kind).arg(2), 163, 128, 150, 16);
    name1->setAlignment(Qt::AlignCenter);
    name2->setAlignment(Qt::AlignCenter);

    auto* band = new QFrame(group);
    band->setFrameShape(QFrame::Panel);
    band->setFrameShadow(QFrame::Sunken);
    band->setGeometry(6, 146, 309, 32);
    auto* rev = b.label(band, QStringLiteral("Rev "), 8, 5, 40);
    rev->setObjectName(QStringLiteral("Rev"));
    view.iOdometer[a] = odometer(band, a, QRect(58, 4, 76, 24),
                                 QStringLiteral("%1%2 revolutions").arg(kind).arg(1));
    view.iOdometer[c] = odometer(band, c, QRect(206, 4, 76, 24),
                                 QStringLiteral("%1%2 revolutions").arg(kind).arg(2));

    b.label(group, QStringLiteral("Status  "), 14, 181, 60);
    view.iLedRound[a] = led(group, a, QPoint(75, 184), runningLampColor(),
                            QStringLiteral("%1%2 running").arg(kind).arg(1));
    view.iLedRound[c] = led(group, c, QPoint(230, 184), runningLampColor(),
                            QStringLiteral("%1%2 running").arg(kind).arg(2));
}

} // namespace

void buildRealTimeDataPage(QWidget* page, FormBuilder& b, RealTimeView& view) {
    // Fields that lie behind the Compressor group; only two of them are ever written.
    QLineEdit* edit19 = hiddenEdit(page, QStringLiteral("Edit19"));
    QLineEdit* edit20 = hiddenEdit(page, QStringLiteral("Edit20"));
    for (const char* name : {"Edit21", "Edit22", "Edit23", "Edit26"}) {
        hiddenEdit(page, QString::fromLatin1(name));
    }
    view.Edit19 = edit19;
    view.Edit20 = edit20;

    // Left column.
    fanGroup(b, page, view, QStringLiteral("Internal Fan"), 4, 1, QStringLiteral("Intfan"));
    fanGroup(b, page, view, QStringLiteral("External Fan"), 212, 3, QStringLiteral("Extfan"));

    QGroupBox* compressor = b.group(page, QStringLiteral("Compressor "), 8, 420, 321, 152);
    view.iAnalogOutput[1] = readout(compressor, 1, QRect(36, 18, 84, 22), QStringLiteral("A"),
                                    QStringLiteral("Compressor current"));
    view.iAngularGauge[7] = dial(compressor, 7, QRect(8, 42, 140, 104), compressorCurrentDial(),
                                 QStringLiteral("Compressor current"));
    b.divider(compressor, 154, 18, 126);
    b.label(compressor, QStringLiteral("Rev "), 166, 20, 36);
    view.iOdometer[5] =
        odometer(compressor, 5, QRect(204, 18, 76, 24), QStringLiteral("Compressor revolutions"));
    auto* rotary2 =
        place<RotarySwitch>(compressor, QStringLiteral("iSwitchRotary2"), QRect(162, 52, 92, 94));
    applyPreset(*rotary2, compressorSwitch());
    rotary2->setAccessibleName(QStringLiteral("Compressor"));
    view.iSwitchRotary2 = rotary2;
    b.label(compressor, QStringLiteral("Alarm"), 262, 82, 40);
    view.iLedRound[16] = alarmLed(compressor, 16, QPoint(270, 106));

    // Centre column.
    QGroupBox* debug = b.group(page, QStringLiteral("Debug Temperature"), 336, 4, 161, 56);
    b.button(debug, QStringLiteral("Button6"), QStringLiteral("Send"), 8, 22, 52, 25);
    auto* edit11 = b.edit(debug, QStringLiteral("Edit11"), 66, 23, 62);
    edit11->setAccessibleName(QStringLiteral("Debug Temperature"));
    b.label(debug, QStringLiteral("℃"), 132, 23, 20);
    view.Edit11 = edit11;

    // The picture is decoded while the page shows it, not for the whole run.
    auto* image = new ShownPictureLabel(QStringLiteral(":/unit.jpg"), page);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(347, 64, 139, 337);
    image->setAccessibleName(QStringLiteral("Climate unit"));
    auto* rocker =
        place<RockerSwitch>(image, QStringLiteral("iSwitchRocker1"), QRect(38, 112, 44, 64));
    rocker->setBackgroundColor(rockerBackgroundColor());
    rocker->setOn(true);
    rocker->setAccessibleName(QStringLiteral("Forced output"));
    view.iSwitchRocker1 = rocker;
    view.iLedRound[18] =
        led(image, 18, QPoint(90, 136), runningLampColor(), QStringLiteral("Forced output"));
    auto transparentLabel = [&](const QString& text, int x, int y, int width) {
        QLabel* label = b.label(image, text, x, y, width, 20);
        label->setAttribute(Qt::WA_TranslucentBackground);
        return label;
    };
    transparentLabel(QStringLiteral("Set Temp "), 14, 192, 64);
    view.Edit3 = b.edit(image, QStringLiteral("Edit3"), 76, 191, 38);
    view.Edit3->setAccessibleName(QStringLiteral("Compressor Set Temp"));
    transparentLabel(QStringLiteral("℃"), 116, 191, 18);
    transparentLabel(QStringLiteral("Delt Temp "), 14, 218, 64);
    view.Edit32 = b.edit(image, QStringLiteral("Edit32"), 76, 217, 38);
    view.Edit32->setAccessibleName(QStringLiteral("Compressor Delt Temp"));
    transparentLabel(QStringLiteral("℃"), 116, 217, 18);

    QGroupBox* supply = b.group(page, QStringLiteral("Supply Voltage"), 336, 406, 161, 166);
    view.iAnalogOutput[5] = readout(supply, 5, QRect(38, 18, 84, 22), QStringLiteral("V"),
                                    QStringLiteral("Supply voltage"));
    view.iAngularGauge[5] = dial(supply, 5, QRect(8, 42, 145, 96), supplyVoltageDial(),
                                 QStringLiteral("Supply voltage"));
    b.label(supply, QStringLiteral("Alarm"), 48, 140, 40);
    view.iLedRound[17] = alarmLed(supply, 17, QPoint(92, 143));

    // Right column.
    QGroupBox* temperature = b.group(page, QStringLiteral("Temperature"), 504, 4, 257, 210);
    for (int i = 0; i < 3; ++i) {
        const int n = i + 1;
        const int x = 8 + 83 * i;
        auto* thermometer = place<Thermometer>(temperature, QStringLiteral("iThermometer%1").arg(n),
                                               QRect(x + 12, 18, 52, 154));
        applyTemperatureScale(*thermometer);
        // Under each thermometer the readout of the same channel.
        const LiveChannel& channel = channelOnThermometer(n);
        describe(thermometer, channel.name, channel.description);
        view.iThermometer[static_cast<std::size_t>(n)] = thermometer;
        const int r = channel.page.readout;
        view.iAnalogOutput[static_cast<std::size_t>(r)] =
            readout(temperature, r, QRect(x, 178, 76, 22), QStringLiteral("℃"),
                    QString::fromUtf8(channel.name));
        if (i > 0) {
            b.divider(temperature, x - 5, 18, 184);
        }
    }

    QGroupBox* alarms = b.group(page, QStringLiteral("Alarm"), 504, 216, 257, 150);
    const struct {
        int led;
        const char* caption;
    } alarmRows[2][5] = {{{5, "Internal Fan1"},
                          {7, "Internal Fan2 "},
                          {8, "External Fan1"},
                          {9, "External Fan2 "},
                          {10, "HighPressure "}},
                         {{11, "Temp Sensor1 "},
                          {12, "Temp Sensor2 "},
                          {13, "High Temp "},
                          {14, "Low Temp "},
                          {15, "LowPressure"}}};
    for (int column = 0; column < 2; ++column) {
        for (int row = 0; row < 5; ++row) {
            const auto& entry = alarmRows[column][row];
            const int x = 10 + 126 * column;
            const int y = 22 + 25 * row;
            const QString caption = QString::fromUtf8(entry.caption);
            view.iLedRound[static_cast<std::size_t>(entry.led)] =
                alarmLed(alarms, entry.led, QPoint(x, y + 3));
            b.label(alarms, caption, x + 22, y, 100);
        }
    }

    QGroupBox* heater = b.group(page, QStringLiteral("Heater Current"), 504, 368, 257, 204);
    view.iAnalogOutput[2] = readout(heater, 2, QRect(36, 20, 84, 22), QStringLiteral("A"),
                                    QStringLiteral("Heater current"));
    view.iAngularGauge[6] = dial(heater, 6, QRect(8, 46, 140, 110), heaterCurrentDial(),
                                 QStringLiteral("Heater current"));
    b.divider(heater, 154, 18, 176);
    b.label(heater, QStringLiteral("Alarm"), 166, 24, 40);
    view.iLedRound[6] = alarmLed(heater, 6, QPoint(210, 27));
    auto* rotary1 =
        place<RotarySwitch>(heater, QStringLiteral("iSwitchRotary1"), QRect(162, 62, 88, 100));
    applyPreset(*rotary1, heaterSwitch());
    rotary1->setAccessibleName(QStringLiteral("Heater"));
    view.iSwitchRotary1 = rotary1;
}

void buildDeclarationPage(QWidget* page, FormBuilder& b, CurveView& view) {
    auto* frame = new QFrame(page);
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Sunken);
    frame->setLineWidth(2);
    frame->setGeometry(2, 2, 777, 569);
    frame->lower();

    b.button(page, QStringLiteral("Button16"), QStringLiteral("DrawIntfan"), 14, 40, 110, 32);
    b.button(page, QStringLiteral("Button17"), QStringLiteral("DrawExtfan"), 14, 92, 110, 32);

    auto* plot = place<XYPlot>(page, QStringLiteral("iXYPlot1"), QRect(136, 12, 633, 409));
    applyFanCurvePlot(*plot);
    plot->setAccessibleName(QStringLiteral("Fan speed curves"));
    view.iXYPlot1 = plot;
}

} // namespace climate::app

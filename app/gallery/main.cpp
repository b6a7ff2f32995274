// One of each instrument, set up from the presets the main window uses. With --screenshot FILE the
// panel is rendered offscreen into a PNG (add --scale 2 for a high-density rendering) and the
// program ends; otherwise it opens as a window.

#include "app/InstrumentPresets.h"
#include "widgets/CaptionLabel.h"
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

#include <QApplication>
#include <QCommandLineParser>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QVBoxLayout>

#include <memory>

using namespace climate::app;
using namespace climate::widgets;

namespace {

Dial* fanDial(double rpm) {
    auto* dial = new Dial;
    applyPreset(*dial, fanSpeedDial());
    dial->setPosition(rpm);
    dial->setFixedSize(150, 130);
    return dial;
}

Dial* quarterDial(const DialPreset& preset, double value) {
    auto* dial = new Dial;
    applyPreset(*dial, preset);
    dial->setPosition(value);
    dial->setFixedSize(145, 110);
    return dial;
}

Odometer* odometer(double value) {
    auto* o = new Odometer;
    applyRevolutionCounter(*o);
    o->setValue(value);
    o->setFixedSize(70, 24);
    return o;
}

RoundLed* led(const QColor& color, bool lit) {
    auto* l = new RoundLed;
    l->setActiveColor(color);
    l->setActive(lit);
    l->setFixedSize(16, 16);
    return l;
}

NumericReadout* readout(double value, const QString& unit) {
    auto* r = new NumericReadout;
    r->setUnit(unit);
    r->setValue(value);
    r->setFixedSize(64, 21);
    r->setEnabled(false);
    return r;
}

QWidget* labelled(QWidget* widget, const QString& caption) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(widget, 0, Qt::AlignHCenter);
    layout->addWidget(new CaptionLabel(caption), 0, Qt::AlignHCenter);
    return box;
}

QGroupBox* fanGroup(const QString& title, const QString& a, const QString& b, double rpmA,
                    double rpmB) {
    auto* group = new QGroupBox(title);
    auto* grid = new QGridLayout(group);
    grid->addWidget(labelled(fanDial(rpmA), a), 0, 0, 1, 2);
    grid->addWidget(labelled(fanDial(rpmB), b), 0, 2, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Rev ")), 1, 0);
    grid->addWidget(odometer(rpmA), 1, 1);
    grid->addWidget(odometer(rpmB), 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Status  ")), 2, 0);
    grid->addWidget(led(runningLampColor(), rpmA > 0), 2, 1, Qt::AlignHCenter);
    grid->addWidget(led(runningLampColor(), rpmB < 0), 2, 3, Qt::AlignHCenter);
    return group;
}

RotarySwitch* rotary(const RotarySwitchPreset& preset, QSize size) {
    auto* r = new RotarySwitch;
    applyPreset(*r, preset);
    r->setFixedSize(size);
    return r;
}

QWidget* buildPanel() {
    auto* panel = new QWidget;
    panel->setObjectName(QStringLiteral("gallery"));
    auto* columns = new QHBoxLayout(panel);

    // Left column: fans and compressor.
    auto* left = new QVBoxLayout;
    left->addWidget(fanGroup(QStringLiteral("Internal Fan"), QStringLiteral("Intfan1"),
                             QStringLiteral("Intfan2"), 1450, 2850));
    left->addWidget(fanGroup(QStringLiteral("External Fan"), QStringLiteral("Extfan1"),
                             QStringLiteral("Extfan2"), 620, -30));
    auto* compressor = new QGroupBox(QStringLiteral("Compressor "));
    auto* cl = new QHBoxLayout(compressor);
    auto* current = new QVBoxLayout;
    current->addWidget(readout(12.5, QStringLiteral("A")), 0, Qt::AlignHCenter);
    current->addWidget(quarterDial(compressorCurrentDial(), 12.5));
    cl->addLayout(current);
    auto* compRight = new QGridLayout;
    compRight->addWidget(new QLabel(QStringLiteral("Rev ")), 0, 0);
    compRight->addWidget(odometer(3456), 0, 1);
    compRight->addWidget(rotary(compressorSwitch(), QSize(92, 94)), 1, 0, 1, 2, Qt::AlignHCenter);
    compRight->addWidget(new QLabel(QStringLiteral("Alarm")), 2, 0);
    compRight->addWidget(led(alarmLampColor(), true), 2, 1);
    cl->addLayout(compRight);
    left->addWidget(compressor);
    columns->addLayout(left);

    // Centre column: the forced-output rocker, the link bar and the supply voltage.
    auto* centre = new QVBoxLayout;
    auto* linkRow = new QHBoxLayout;
    linkRow->addWidget(new QLabel(QStringLiteral("Communication Satus")));
    centre->addLayout(linkRow);
    // The link alive, and the link lost.
    for (const double position : {57.0, 0.0}) {
        auto* bar = new LedBar;
        applyLinkBar(*bar);
        bar->setFixedSize(161, 23);
        bar->setPosition(position);
        centre->addWidget(bar);
    }
    auto* unit = new QWidget;
    unit->setAutoFillBackground(true);
    QPalette grey = unit->palette();
    grey.setColor(QPalette::Window, QColor(150, 152, 156));
    unit->setPalette(grey);
    auto* ul = new QGridLayout(unit);
    auto* rocker = new RockerSwitch;
    rocker->setBackgroundColor(rockerBackgroundColor());
    rocker->setOn(true);
    rocker->setFixedSize(44, 64);
    ul->addWidget(rocker, 0, 0);
    ul->addWidget(led(runningLampColor(), true), 0, 1);
    auto* setTemp = new CaptionLabel(QStringLiteral("Set Temp "));
    setTemp->setTextColor(Qt::white);
    ul->addWidget(setTemp, 1, 0, 1, 2);
    centre->addWidget(unit);
    auto* voltage = new QGroupBox(QStringLiteral("Supply Voltage"));
    auto* vl = new QGridLayout(voltage);
    vl->addWidget(readout(48.3, QStringLiteral("V")), 0, 0, Qt::AlignHCenter);
    vl->addWidget(quarterDial(supplyVoltageDial(), 48.3), 1, 0);
    vl->addWidget(new QLabel(QStringLiteral("Alarm")), 2, 0);
    vl->addWidget(led(alarmLampColor(), false), 2, 1);
    centre->addWidget(voltage);
    centre->addStretch();
    columns->addLayout(centre);

    // Right column: temperatures, alarms, heater.
    auto* right = new QVBoxLayout;
    auto* temps = new QGroupBox(QStringLiteral("Temperature"));
    auto* tl = new QHBoxLayout(temps);
    const double values[] = {25.3, -10.0, 61.7};
    for (const double v : values) {
        auto* column = new QVBoxLayout;
        auto* t = new Thermometer;
        applyTemperatureScale(*t);
        t->setPosition(v);
        t->setFixedSize(40, 150);
        column->addWidget(t, 0, Qt::AlignHCenter);
        column->addWidget(readout(v, QStringLiteral("℃")), 0, Qt::AlignHCenter);
        tl->addLayout(column);
    }
    right->addWidget(temps);
    auto* alarms = new QGroupBox(QStringLiteral("Alarm"));
    auto* al = new QGridLayout(alarms);
    const QStringList names = {"Internal Fan1", "Internal Fan2 ", "External Fan1", "External Fan2 ",
                               "HighPressure ", "Temp Sensor1 ",  "Temp Sensor2 ", "High Temp ",
                               "Low Temp ",     "LowPressure"};
    for (int i = 0; i < names.size(); ++i) {
        al->addWidget(led(alarmLampColor(), i == 2 || i == 7), i % 5, (i / 5) * 2);
        al->addWidget(new QLabel(names[i]), i % 5, (i / 5) * 2 + 1);
    }
    right->addWidget(alarms);
    auto* heater = new QGroupBox(QStringLiteral("Heater Current"));
    auto* hl = new QHBoxLayout(heater);
    auto* hd = new QVBoxLayout;
    hd->addWidget(readout(6.4, QStringLiteral("A")), 0, Qt::AlignHCenter);
    hd->addWidget(quarterDial(heaterCurrentDial(), 6.4));
    hl->addLayout(hd);
    auto* hr = new QVBoxLayout;
    auto* hAlarm = new QHBoxLayout;
    hAlarm->addWidget(new QLabel(QStringLiteral("Alarm")));
    hAlarm->addWidget(led(alarmLampColor(), false));
    hr->addLayout(hAlarm);
    hr->addWidget(rotary(heaterSwitch(), QSize(88, 100)));
    hl->addLayout(hr);
    right->addWidget(heater);
    columns->addLayout(right);

    // The fan curve plot.
    auto* plot = new XYPlot;
    applyFanCurvePlot(*plot);
    const QList<QPointF> intfan = {{-45, 0}, {20, 0}, {25, 1200}, {45, 4200}, {80, 4200}};
    const QList<QPointF> extfan = {{-45, 0}, {30, 0}, {35, 1500}, {55, 5000}, {80, 5000}};
    for (const QPointF& p : intfan) {
        plot->addPoint(0, p.x(), p.y());
    }
    for (const QPointF& p : extfan) {
        plot->addPoint(1, p.x(), p.y());
    }
    plot->setChannelLayer(0, 1);
    plot->setFixedSize(633, 409);

    auto* page = new QWidget;
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(panel);
    pageLayout->addWidget(plot, 0, Qt::AlignLeft);
    return page;
}

} // namespace

int main(int argc, char* argv[]) {
    // The screenshot is made without a display; decide before the application starts.
    QString screenshot;
    QByteArray scale = "1";
    for (int i = 1; i + 1 < argc; ++i) {
        if (qstrcmp(argv[i], "--screenshot") == 0) {
            screenshot = QString::fromLocal8Bit(argv[i + 1]);
        }
        if (qstrcmp(argv[i], "--scale") == 0) {
            scale = argv[i + 1];
        }
    }
    if (!screenshot.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qputenv("QT_SCALE_FACTOR", scale);

    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Instrument widget gallery"));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("screenshot"), QStringLiteral("Render to a PNG and exit."),
                      QStringLiteral("file")});
    parser.addOption(
        {QStringLiteral("scale"), QStringLiteral("Device pixel ratio."), QStringLiteral("factor")});
    parser.process(app);
    installInstrumentAccessibility();

    std::unique_ptr<QWidget> window(buildPanel());
    window->setWindowTitle(QStringLiteral("Instrument gallery"));
    if (screenshot.isEmpty()) {
        window->show();
        return QApplication::exec();
    }
    window->adjustSize();
    window->show();
    QApplication::processEvents();
    if (!window->grab().toImage().save(screenshot)) {
        return 1;
    }
    return 0;
}

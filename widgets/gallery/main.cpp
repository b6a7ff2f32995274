// One of each instrument, set up as the main window uses them. With --screenshot FILE the panel
// is rendered offscreen into a PNG (add --scale 2 for a high-density rendering) and the program
// ends; otherwise it opens as a window.

#include "CaptionLabel.h"
#include "Dial.h"
#include "InstrumentAccessibility.h"
#include "LedBar.h"
#include "NumericReadout.h"
#include "Odometer.h"
#include "RockerSwitch.h"
#include "RotarySwitch.h"
#include "RoundLed.h"
#include "Thermometer.h"
#include "XYPlot.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QVBoxLayout>

#include <memory>

namespace {

const QColor kYellow(255, 255, 0);
const QColor kGreen(0, 255, 0);
const QColor kRed(255, 0, 0);

Dial* fanDial(double rpm) {
    auto* dial = new Dial;
    dial->setRange(0, 3000);
    dial->setSections({{0, 1000, kYellow}, {1000, 2700, kGreen}, {2700, 3000, kRed}});
    dial->setArc(220, 260);
    dial->setMajorTicks(4);
    dial->setMinorTicks(4);
    dial->setUnitText(QStringLiteral("RPM"));
    dial->setPosition(rpm);
    dial->setFixedSize(150, 130);
    return dial;
}

Dial* quarterDial(double max, QList<ScaleSection> sections, int majorTicks, const QString& unit,
                  double value) {
    auto* dial = new Dial;
    dial->setRange(0, max);
    dial->setSections(std::move(sections));
    dial->setArc(180, 90);
    dial->setPointerStyle(Dial::PointerStyle::ArrowLine);
    dial->setMajorTicks(majorTicks);
    dial->setUnitText(unit);
    dial->setPosition(value);
    dial->setFixedSize(145, 110);
    return dial;
}

Odometer* odometer(double value) {
    auto* o = new Odometer;
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
    grid->addWidget(led(kGreen, rpmA > 0), 2, 1, Qt::AlignHCenter);
    grid->addWidget(led(kGreen, rpmB < 0), 2, 3, Qt::AlignHCenter);
    return group;
}

RotarySwitch* rotary(const QStringList& labels, int position, QSize size) {
    auto* r = new RotarySwitch;
    r->setPositionLabels(labels);
    r->setPosition(position);
    r->setPointerColor(QColor(0, 128, 255));
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
    current->addWidget(quarterDial(35, {{0, 5, kRed}, {5, 30, kGreen}, {30, 35, kRed}}, 6,
                                   QStringLiteral("A"), 12.5));
    cl->addLayout(current);
    auto* compRight = new QGridLayout;
    compRight->addWidget(new QLabel(QStringLiteral("Rev ")), 0, 0);
    compRight->addWidget(odometer(3456), 0, 1);
    compRight->addWidget(
        rotary({QStringLiteral("On"), QStringLiteral("Off"), QStringLiteral("Enable")}, 0,
               QSize(92, 94)),
        1, 0, 1, 2, Qt::AlignHCenter);
    compRight->addWidget(new QLabel(QStringLiteral("Alarm")), 2, 0);
    compRight->addWidget(led(kRed, true), 2, 1);
    cl->addLayout(compRight);
    left->addWidget(compressor);
    columns->addLayout(left);

    // Centre column: the forced-output rocker, the link bar and the supply voltage.
    auto* centre = new QVBoxLayout;
    auto* linkRow = new QHBoxLayout;
    linkRow->addWidget(new QLabel(QStringLiteral("Communication Satus")));
    auto* bar = new LedBar;
    bar->setFixedSize(161, 23);
    bar->setSectionColor1(QColor(0, 255, 64));
    bar->setSegmentSpacing(1);
    bar->setPosition(57);
    auto* lostBar = new LedBar;
    lostBar->setFixedSize(161, 23);
    lostBar->setSectionColor1(kRed);
    lostBar->setPosition(100);
    centre->addLayout(linkRow);
    centre->addWidget(bar);
    centre->addWidget(lostBar);
    auto* unit = new QWidget;
    unit->setAutoFillBackground(true);
    QPalette grey = unit->palette();
    grey.setColor(QPalette::Window, QColor(150, 152, 156));
    unit->setPalette(grey);
    auto* ul = new QGridLayout(unit);
    auto* rocker = new RockerSwitch;
    rocker->setBackgroundColor(QColor(255, 0, 255));
    rocker->setOn(true);
    rocker->setFixedSize(44, 64);
    ul->addWidget(rocker, 0, 0);
    ul->addWidget(led(kGreen, true), 0, 1);
    auto* setTemp = new CaptionLabel(QStringLiteral("Set Temp "));
    setTemp->setTextColor(Qt::white);
    ul->addWidget(setTemp, 1, 0, 1, 2);
    centre->addWidget(unit);
    auto* voltage = new QGroupBox(QStringLiteral("Supply Voltage"));
    auto* vl = new QGridLayout(voltage);
    vl->addWidget(readout(48.3, QStringLiteral("V")), 0, 0, Qt::AlignHCenter);
    vl->addWidget(quarterDial(80, {{0, 40, kRed}, {40, 60, kGreen}, {60, 80, kRed}}, 5,
                              QStringLiteral("V"), 48.3),
                  1, 0);
    vl->addWidget(new QLabel(QStringLiteral("Alarm")), 2, 0);
    vl->addWidget(led(kRed, false), 2, 1);
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
        t->setRange(-40, 80);
        t->setUnitText(QStringLiteral("℃"));
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
        al->addWidget(led(kRed, i == 2 || i == 7), i % 5, (i / 5) * 2);
        al->addWidget(new QLabel(names[i]), i % 5, (i / 5) * 2 + 1);
    }
    right->addWidget(alarms);
    auto* heater = new QGroupBox(QStringLiteral("Heater Current"));
    auto* hl = new QHBoxLayout(heater);
    auto* hd = new QVBoxLayout;
    hd->addWidget(readout(6.4, QStringLiteral("A")), 0, Qt::AlignHCenter);
    hd->addWidget(quarterDial(10, {{0, 4, kRed}, {4, 8, kGreen}, {8, 10, kRed}}, 6,
                              QStringLiteral("A"), 6.4));
    hl->addLayout(hd);
    auto* hr = new QVBoxLayout;
    auto* hAlarm = new QHBoxLayout;
    hAlarm->addWidget(new QLabel(QStringLiteral("Alarm")));
    hAlarm->addWidget(led(kRed, false));
    hr->addLayout(hAlarm);
    hr->addWidget(rotary({QStringLiteral("On"), QStringLiteral("Off")}, 1, QSize(88, 100)));
    hl->addLayout(hr);
    right->addWidget(heater);
    columns->addLayout(right);

    // The fan curve plot.
    auto* plot = new XYPlot;
    plot->setXAxis(QStringLiteral("Temperature"), -45, 125);
    plot->setYAxis(QStringLiteral("FanRPM"), 0, 5500);
    plot->setChannel(0, QStringLiteral("Intfan"), kRed, 2);
    plot->setChannel(1, QStringLiteral("Extfan"), kYellow, 2);
    plot->setBackgroundColor(QColor(192, 192, 192));
    const QList<QPointF> intfan = {{-45, 0}, {20, 0}, {25, 1200}, {45, 4200}, {80, 4200}};
    const QList<QPointF> extfan = {{-45, 0}, {30, 0}, {35, 1500}, {55, 5000}, {80, 5000}};
    for (const QPointF& p : intfan)
        plot->addPoint(0, p.x(), p.y());
    for (const QPointF& p : extfan)
        plot->addPoint(1, p.x(), p.y());
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
        if (qstrcmp(argv[i], "--screenshot") == 0)
            screenshot = QString::fromLocal8Bit(argv[i + 1]);
        if (qstrcmp(argv[i], "--scale") == 0)
            scale = argv[i + 1];
    }
    if (!screenshot.isEmpty() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
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
    if (!window->grab().toImage().save(screenshot))
        return 1;
    return 0;
}

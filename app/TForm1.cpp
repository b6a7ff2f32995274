#include "TForm1.h"

#include "BusMonitorBridge.h"
#include "ConfigurationPageLayout.h"
#include "FormBuilder.h"
#include "InstrumentPresets.h"
#include "MonitorPagesLayout.h"
#include "Platform.h"
#include "PortComboBox.h"
#include "PortSwitch.h"
#include "QtFileChooser.h"
#include "QtMessagePresenter.h"

#include "config/ConfigurationPage.h"
#include "config/ParameterSets.h"
#include "curves/FanCurves.h"
#include "link/CommEngine.h"
#include "link/LinkState.h"
#include "link/NamedPort.h"
#include "link/TrafficHistory.h"
#include "realtime/RealTimeMonitor.h"
#include "report/TestLog.h"
#include "session/ControllerSession.h"
#include "session/IntervalTimer.h"
#include "trend/TrendHistory.h"
#include "trend/TrendWindow.h"
#include "widgets/CaptionLabel.h"
#include "widgets/LedBar.h"
#include "widgets/RockerSwitch.h"

#include <QComboBox>
#include <QIcon>
#include <QImageReader>
#include <QKeySequence>
#include <QPixmap>
#include <QPushButton>
#include <QRect>
#include <QScopeGuard>
#include <QShortcut>
#include <QTabWidget>

#include <exception>

// The window's pictures live in the resources of this static library, which the linker would
// leave out of a program that never names them: register them by name.
static void registerWindowResources() {
    Q_INIT_RESOURCE(resources);
}

namespace climate::app {

using namespace climate::config;
using namespace climate::curves;
using namespace climate::link;
using namespace climate::realtime;
using namespace climate::report;
using namespace climate::widgets;

namespace {

// The link bar shows the link-state model: its position, green (0, 255, 64) while the controller
// answers and red when it has stopped.
void showLinkState(LedBar& bar, const LinkState& link) {
    const auto colour = [&bar](bool answering) {
        bar.setSectionColor1(answering ? QColor(0, 255, 64) : QColor(255, 0, 0));
    };
    bar.setPosition(link.barPosition());
    colour(link.answering());
    QObject::connect(&link, &LinkState::barPositionChanged, &bar, &LedBar::setPosition);
    QObject::connect(&link, &LinkState::answeringChanged, &bar, colour);
}

// The SVG icon rendered ahead at the sizes a window manager is offered (scripts/window-icons.sh):
// drawn at start-up it brought in QtSvg and its plugin. Read as PNG by name, without the format
// detection that would load every image plugin to ask whether it reads PNG too.
QIcon toolIcon() {
    QIcon icon;
    for (const int size : {16, 32, 64, 128}) {
        QImageReader reader(QStringLiteral(":/window-icon-%1.png").arg(size), "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

} // namespace

TForm1::TForm1(QStringList extraPorts, std::unique_ptr<MessagePresenter> messages,
               std::function<void(int)> exitProcess, QWidget* parent)
    : QWidget(parent), m_messages(std::move(messages)), m_exitProcess(std::move(exitProcess)) {
    registerWindowResources();
    if (!m_messages) {
        m_messages = std::make_unique<QtMessagePresenter>();
    }
    if (!m_exitProcess) {
        // "Stop Systerm" ends the process at once, without closing the window first.
        m_exitProcess = [](int code) { platform::exitNow(code); };
    }
    buildWindow(extraPorts);

    m_traffic = std::make_unique<link::TrafficHistory>();
    m_session = std::make_unique<session::ControllerSession>(*m_messages);
    showLinkState(*iLedBar1, linkState());
    engine().addObserver(*m_traffic);

    PortSwitch::Controls controls;
    controls.rdCOM = findChild<PortComboBox*>(QStringLiteral("rdCOM"));
    controls.baudrate = findChild<QComboBox*>(QStringLiteral("baudrate"));
    controls.databits = findChild<QComboBox*>(QStringLiteral("databits"));
    controls.parity = findChild<QComboBox*>(QStringLiteral("parity"));
    controls.stopbits = findChild<QComboBox*>(QStringLiteral("stopbits"));
    controls.Button1 = Button1;
    controls.Timer1 = Timer1;
    controls.Timer2 = Timer2;
    m_portSwitch = std::make_unique<PortSwitch>(port(), *m_messages, controls);
    // A network port finishes opening from the event loop, outside any click handler.
    port().setOpenFinished([this](link::SerialPort::OpenError outcome) {
        guarded([this, outcome] { m_portSwitch->openFinished(outcome); });
    });

    m_configurationView.port = &linkState();
    m_realTimeView.port = &linkState();
    m_curveView.port = &linkState();

    TestLogOptions logOptions;
    // A save that fails on its way to the disk is shown at once, from the window's thread.
    logOptions.post = [this](std::function<void()> job) {
        QMetaObject::invokeMethod(this, std::move(job), Qt::QueuedConnection);
    };
    m_testLog = std::make_unique<TestLog>(*m_messages, std::move(logOptions));
    m_realTime = std::make_unique<RealTimeMonitor>(
        engine(), m_session->live(), m_realTimeView, [this](int ms) { Timer1->setIntervalMs(ms); },
        m_testLog.get());
    // The trend listens after the instruments and the test log.
    m_trendHistory = std::make_unique<trend::TrendHistory>();
    m_realTime->model().subscribe(*m_trendHistory);
    m_configuration =
        std::make_unique<ConfigurationPage>(engine(), m_session->parameters(), m_configurationView);
    m_parameterSets = std::make_unique<climate::config::ParameterSets>(
        engine(), m_configurationView, m_configuration->model(), m_configuration->form(),
        std::make_unique<QtFileChooser>(this));
    m_curves = std::make_unique<FanCurves>(engine(), m_session->fanCurves(), m_curveView);

    m_monitorBridge = std::make_unique<MonitorBridge>(*this);
    bindHandlers();
    Timer1->start();
    Timer2->start();
    Timer3->start();
}

TForm1::~TForm1() = default;

link::CommEngine& TForm1::engine() {
    return m_session->engine();
}

link::NamedPort& TForm1::port() {
    return m_session->port();
}

link::LinkState& TForm1::linkState() {
    return m_session->linkState();
}

config::ParameterModel& TForm1::parameterModel() {
    return m_configuration->model();
}

QString TForm1::applicationTitle() {
    return QStringLiteral("GUI For DC AC&HEX V100");
}

void TForm1::buildWindow(const QStringList& extraPorts) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(applicationTitle());
    setWindowIcon(toolIcon());
    resize(808, 647);
    setAccessibleName(applicationTitle());

    FormBuilder builder;
    Data = new QTabWidget(this);
    Data->setObjectName(QStringLiteral("Data"));
    Data->setGeometry(0, 0, 785, 601);

    auto* configuration = new QWidget;
    configuration->setObjectName(QStringLiteral("Configuration"));
    m_configurationView = buildConfigurationPage(configuration, builder, extraPorts);
    Data->addTab(configuration, QStringLiteral("Configuration"));

    auto* realTime = new QWidget;
    realTime->setObjectName(QStringLiteral("TabSheet2"));
    buildRealTimeDataPage(realTime, builder, m_realTimeView);
    Data->addTab(realTime, QStringLiteral("RealTimeData"));

    auto* declaration = new QWidget;
    declaration->setObjectName(QStringLiteral("TabSheet1"));
    buildDeclarationPage(declaration, builder, m_curveView);
    Data->addTab(declaration, QStringLiteral("Declaration"));
    Data->setCurrentIndex(0);

    builder.applyAccessibleNames();

    // The link indicator sits right of the page tabs, above the pages, on every page.
    iLabel1 = new CaptionLabel(this);
    iLabel1->setObjectName(QStringLiteral("iLabel1"));
    iLabel1->setText(QStringLiteral("Communication Satus"));
    iLabel1->setGeometry(328, 3, 129, 16);
    iLedBar1 = new LedBar(this);
    iLedBar1->setObjectName(QStringLiteral("iLedBar1"));
    iLedBar1->setGeometry(464, 0, 161, 23);
    applyLinkBar(*iLedBar1); // its position and colour follow the link-state model
    iLedBar1->setAccessibleName(QStringLiteral("Link"));
    Button1 = findChild<QPushButton*>(QStringLiteral("Button1"));
    if (Button1 == nullptr) {
        qFatal("TForm1: the port button Button1 is missing");
    }
    PortSwitch::applyButtonFace(Button1, QStringLiteral("Open"));
    addWindowButton(QStringLiteral("BusMonitorButton"), QStringLiteral("Bus Monitor"),
                    QRect(632, 0, 90, 22),
                    QStringLiteral("Every frame on the bus, with its timing and outcome (F12)"),
                    QKeySequence(Qt::Key_F12), &TForm1::openBusMonitor);
    addWindowButton(QStringLiteral("TrendButton"), QStringLiteral("Trend"), QRect(726, 0, 56, 22),
                    QStringLiteral("Every live value over time, and old test logs (Ctrl+T)"),
                    QKeySequence(Qt::CTRL | Qt::Key_T), &TForm1::openTrend);

    Timer1 = new session::IntervalTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(200);
    Timer2 = new session::IntervalTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setTimerType(Qt::PreciseTimer);
    Timer2->setInterval(10);
    Timer3 = new session::IntervalTimer(this);
    Timer3->setObjectName(QStringLiteral("Timer3"));
    Timer3->setInterval(200);
}

void TForm1::bindClick(const char* button, void (TForm1::*handler)()) {
    auto* push = findChild<QPushButton*>(QString::fromLatin1(button));
    if (push == nullptr) {
        // A wiring fault of the window itself: refuse to start rather than run a dead button.
        qFatal("TForm1: no button named %s to bind its handler to", button);
    }
    connect(push, &QPushButton::clicked, this,
            [this, handler] { guarded([&] { (this->*handler)(); }); });
}

// A shortcut of one page: a page that is not shown is hidden, and so are its shortcuts.
void TForm1::bindShortcut(QWidget* page, const QKeySequence& keys, void (TForm1::*handler)()) {
    auto* shortcut = new QShortcut(keys, page);
    shortcut->setContext(Qt::WindowShortcut);
    connect(shortcut, &QShortcut::activated, this,
            [this, handler] { guarded([&] { (this->*handler)(); }); });
}

void TForm1::addWindowButton(const QString& name, const QString& caption, const QRect& geometry,
                             const QString& toolTip, const QKeySequence& keys,
                             void (TForm1::*open)()) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::TabFocus);
    button->setToolTip(toolTip);
    button->setAccessibleName(caption);
    connect(button, &QPushButton::clicked, this, open);
    auto* shortcut = new QShortcut(keys, this);
    shortcut->setContext(Qt::ApplicationShortcut);
    connect(shortcut, &QShortcut::activated, this, open);
}

void TForm1::bindHandlers() {
    bindClick("Button1", &TForm1::Button1Click);
    bindClick("Button2", &TForm1::Button2Click);
    bindClick("Button12", &TForm1::Button12Click);
    bindClick("Button13", &TForm1::Button13Click);
    bindClick("Set", &TForm1::SetClick);
    bindClick("Button10", &TForm1::Button10Click);
    bindClick("Button15", &TForm1::Button15Click);
    bindClick("Button11", &TForm1::Button11Click);
    bindClick("Button14", &TForm1::Button14Click);
    bindClick("Button4", &TForm1::Button4Click);
    bindClick("Button9", &TForm1::Button9Click);
    bindClick("Button3", &TForm1::Button3Click);
    bindClick("Button18", &TForm1::Button18Click);
    bindClick("Button7", &TForm1::Button7Click);
    bindClick("Button8", &TForm1::Button8Click);
    bindClick("Button5", &TForm1::Button5Click);
    bindClick("SaveParameters", &TForm1::SaveParametersClick);
    bindClick("LoadParameters", &TForm1::LoadParametersClick);
    bindShortcut(Data->widget(0), QKeySequence(Qt::CTRL | Qt::Key_S), &TForm1::SaveParametersClick);
    bindShortcut(Data->widget(0), QKeySequence(Qt::CTRL | Qt::Key_O), &TForm1::LoadParametersClick);
    bindClick("Button6", &TForm1::Button6Click);
    bindClick("Button16", &TForm1::Button16Click);
    bindClick("Button17", &TForm1::Button17Click);

    // The rocker's click arrives before it flips, so the handler still sees the old state.
    connect(
        m_realTimeView.iSwitchRocker1, &RockerSwitch::clicked, this,
        [this] { guarded([this] { iSwitchRocker1Change(); }); }, Qt::DirectConnection);

    connect(Timer1, &QTimer::timeout, this, [this] { guarded([this] { Timer1Timer(); }, true); });
    connect(Timer2, &QTimer::timeout, this, [this] { guarded([this] { Timer2Timer(); }, true); });
    connect(Timer3, &QTimer::timeout, this, [this] { guarded([this] { Timer3Timer(); }, true); });
}

void TForm1::guarded(const std::function<void()>& handler, bool fromTimer) {
    try {
        handler();
    } catch (const std::exception& error) {
        UserMessage message{error.what(), applicationTitle().toStdString(),
                            UserMessage::Icon::Error};
        // A timer can raise the same error on every tick while nobody is at the desk.
        if (fromTimer) {
            message.repeatKey = "timer-error";
        }
        m_messages->show(message);
    }
}

void TForm1::forceWindowSize() {
    if (isMaximized() || isFullScreen()) {
        showNormal();
    }
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize client(FixedWidth - frame.width(), FixedHeight - frame.height());
    if (size() != client) {
        resize(client);
    }
}

void TForm1::Button1Click() {
    m_portSwitch->Button1Click();
    m_parameterSets->watchLink();
}

void TForm1::Button2Click() {
    if (port().isOpen()) {
        port().close();
    }
    if (!m_testLog->shutdown()) {
        // Rows did not reach the disk: say so, and end once the box is closed.
        m_testLog->showShutdownFailure([this] { m_exitProcess(0); });
        return;
    }
    m_exitProcess(0);
}

void TForm1::Button12Click() {
    m_configuration->Button12Click();
}
void TForm1::Button13Click() {
    m_configuration->Button13Click();
}
void TForm1::SetClick() {
    m_configuration->SetClick();
}
void TForm1::Button10Click() {
    m_configuration->Button10Click();
}
void TForm1::Button15Click() {
    m_configuration->Button15Click();
}
void TForm1::Button11Click() {
    m_configuration->Button11Click();
}
void TForm1::Button14Click() {
    m_configuration->Button14Click();
}
void TForm1::Button4Click() {
    m_configuration->Button4Click();
}
void TForm1::Button9Click() {
    m_configuration->Button9Click();
}
void TForm1::Button3Click() {
    m_configuration->Button3Click();
}
void TForm1::Button18Click() {
    m_configuration->Button18Click();
}
void TForm1::Button7Click() {
    m_configuration->Button7Click();
}
void TForm1::Button8Click() {
    m_configuration->Button8Click();
    m_parameterSets->watchLink();
}
void TForm1::Button5Click() {
    m_configuration->Button5Click();
}
void TForm1::SaveParametersClick() {
    m_parameterSets->saveClick();
}
void TForm1::LoadParametersClick() {
    m_parameterSets->loadClick();
}
void TForm1::Button6Click() {
    m_realTime->Button6Click();
}
void TForm1::iSwitchRocker1Change() {
    m_realTime->iSwitchRocker1Change();
}
void TForm1::Button16Click() {
    m_curves->Button16Click();
}
void TForm1::Button17Click() {
    m_curves->Button17Click();
}
void TForm1::Timer1Timer() {
    forceWindowSize();
    m_realTime->Timer1Timer();
}
void TForm1::Timer2Timer() {
    forceWindowSize();
    // The engine's wait goes to its timer even when a handler of the tick throws.
    const auto applyInterval =
        qScopeGuard([this] { Timer2->setIntervalMs(m_session->engineIntervalMs()); });
    m_session->tick(Data->currentIndex());
}
void TForm1::Timer3Timer() {
    m_realTime->Timer3Timer(Data->currentIndex());
    // Catches what the port button's click does not: a new device address (an Address Set).
    // A pulled adapter leaves the port open (as it leaves the caption), so it is not seen here.
    m_parameterSets->watchLink();
}

} // namespace climate::app

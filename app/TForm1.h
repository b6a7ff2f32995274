#pragma once

#include "config/ConfigurationView.h"
#include "curves/CurveView.h"
#include "link/UserMessage.h"
#include "realtime/RealTimeView.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QKeySequence;
class QPushButton;
class QRect;
class QTabWidget;

namespace climate::config {
class ConfigurationPage;
class ParameterModel;
class ParameterSets;
} // namespace climate::config

namespace climate::curves {
class FanCurves;
} // namespace climate::curves

namespace climate::link {
class CommEngine;
class LinkState;
class NamedPort;
class TrafficHistory;
} // namespace climate::link

namespace climate::realtime {
class RealTimeMonitor;
} // namespace climate::realtime

namespace climate::report {
class TestLog;
} // namespace climate::report

namespace climate::monitor {
class BusMonitorWindow;
} // namespace climate::monitor

namespace climate::trend {
class TrendHistory;
class TrendWindow;
} // namespace climate::trend

namespace climate::widgets {
class CaptionLabel;
class LedBar;
} // namespace climate::widgets

namespace climate::session {
class ControllerSession;
class IntervalTimer;
} // namespace climate::session

namespace climate::app {

class PortSwitch;

// The tool's one window: the page control with the Configuration, RealTimeData and Declaration
// pages, the link bar above them, and the three timers that drive the engine and the displays.
// Its handlers only delegate to the subsystems.
class TForm1 : public QWidget {
    Q_OBJECT

public:
    static constexpr int FixedWidth = 810;
    static constexpr int FixedHeight = 646;

    // `extraPorts` are listed in the port list after the system's serial devices. `messages`
    // replaces the message boxes (tests record them); `exitProcess` ends the process for
    // "Stop Systerm".
    explicit TForm1(QStringList extraPorts = {},
                    std::unique_ptr<link::MessagePresenter> messages = nullptr,
                    std::function<void(int)> exitProcess = {}, QWidget* parent = nullptr);
    ~TForm1() override;

    [[nodiscard]] static QString applicationTitle();

    [[nodiscard]] session::ControllerSession& session() { return *m_session; }
    [[nodiscard]] link::CommEngine& engine();
    [[nodiscard]] link::MessagePresenter& messages() { return *m_messages; }
    [[nodiscard]] realtime::RealTimeMonitor& realTime() { return *m_realTime; }
    [[nodiscard]] report::TestLog& testLog() { return *m_testLog; }
    [[nodiscard]] link::NamedPort& port();
    [[nodiscard]] link::LinkState& linkState();
    [[nodiscard]] config::ParameterSets& parameterSets() { return *m_parameterSets; }
    // What the Configuration page's fields show.
    [[nodiscard]] config::ParameterModel& parameterModel();

    // Sets the window to its fixed size; Timer1 and the engine's Timer2 call it first on every
    // tick.
    void forceWindowSize();

    // Opens the "Bus Monitor" window (or raises it): its button beside the link bar, and F12.
    void openBusMonitor();
    // The monitor window once it has been opened, else nullptr.
    [[nodiscard]] monitor::BusMonitorWindow* busMonitor() { return m_busMonitor.get(); }
    // Opens the "Trend" window (or raises it): its button beside "Bus Monitor", and Ctrl+T.
    void openTrend();
    // The trend window once it has been opened, else nullptr.
    [[nodiscard]] trend::TrendWindow* trendWindow() { return m_trend.get(); }
    // Every live value since the start, as the trend shows it.
    [[nodiscard]] trend::TrendHistory& trendHistory() { return *m_trendHistory; }

    // Handlers, bound to the controls and timers of the same names.
    void Button1Click();
    void Button2Click();
    void Button12Click();
    void Button13Click();
    void SetClick();
    void Button10Click();
    void Button15Click();
    void Button11Click();
    void Button14Click();
    void Button4Click();
    void Button9Click();
    void Button3Click();
    void Button18Click();
    void Button7Click();
    void Button8Click();
    void Button5Click();
    void SaveParametersClick(); // "Save…" of the group "All", and Ctrl+S on the Configuration page
    void LoadParametersClick(); // "Load…" of the group "All", and Ctrl+O on the Configuration page
    void Button6Click();
    void iSwitchRocker1Change();
    void Button16Click();
    void Button17Click();
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();

private:
    class MonitorBridge;

    void buildWindow(const QStringList& extraPorts);
    void bindHandlers();
    // Runs a handler; an error it raises ends it and is shown in the application's error box.
    void guarded(const std::function<void()>& handler, bool fromTimer = false);
    void bindClick(const char* button, void (TForm1::*handler)());
    void bindShortcut(QWidget* page, const QKeySequence& keys, void (TForm1::*handler)());
    // A small button right of the link bar, above the pages, so it is there whatever page is
    // shown: it opens a window of its own, as does its shortcut from every window of the tool.
    void addWindowButton(const QString& name, const QString& caption, const QRect& geometry,
                         const QString& toolTip, const QKeySequence& keys, void (TForm1::*open)());

    std::unique_ptr<link::MessagePresenter> m_messages;
    std::function<void(int)> m_exitProcess;

    QTabWidget* Data = nullptr;
    QPushButton* Button1 = nullptr; // the port button; its caption follows the port
    widgets::CaptionLabel* iLabel1 = nullptr;
    widgets::LedBar* iLedBar1 = nullptr;
    session::IntervalTimer* Timer1 = nullptr;
    session::IntervalTimer* Timer2 = nullptr;
    session::IntervalTimer* Timer3 = nullptr;

    config::ConfigurationView m_configurationView;
    realtime::RealTimeView m_realTimeView;
    curves::CurveView m_curveView;

    // The engine's last events, for the bus monitor to show when it opens; outlives the engine.
    std::unique_ptr<link::TrafficHistory> m_traffic;
    // The port, the engine, the link's state and the models the pages show; outlives the pages.
    std::unique_ptr<session::ControllerSession> m_session;
    std::unique_ptr<PortSwitch> m_portSwitch;
    std::unique_ptr<report::TestLog> m_testLog;
    // Before the monitor, whose live-data model it listens to.
    std::unique_ptr<trend::TrendHistory> m_trendHistory;
    std::unique_ptr<realtime::RealTimeMonitor> m_realTime;
    std::unique_ptr<config::ConfigurationPage> m_configuration;
    std::unique_ptr<config::ParameterSets> m_parameterSets;
    std::unique_ptr<curves::FanCurves> m_curves;
    std::unique_ptr<MonitorBridge> m_monitorBridge;
    // Made on first opening; goes first, while the engine it watches is still there.
    std::unique_ptr<monitor::BusMonitorWindow> m_busMonitor;
    // Made on first opening; goes before the history it shows.
    std::unique_ptr<trend::TrendWindow> m_trend;
};

} // namespace climate::app

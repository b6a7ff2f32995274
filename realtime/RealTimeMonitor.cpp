#include "RealTimeMonitor.h"

#include "DebugTemperatureCommand.h"
#include "ForcedOutputCommand.h"
#include "LiveDisplay.h"
#include "PollSteps.h"
#include "link/CommEngine.h"
#include "link/Commands.h"
#include "link/EngineWindow.h"
#include "link/PortGate.h"
#include "widgets/LedBar.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RoundLed.h"

#include <QLineEdit>

namespace climate::realtime {

using namespace climate::link;
using namespace climate::widgets;

namespace {

constexpr std::uint8_t DebugTemperatureCode = Command::DebugTemperature.code;
constexpr std::uint8_t ForcedOutputCode = Command::ForcedOutput.code;

// The link bar's colours: green (0, 255, 64) while replies arrive, red when they have stopped.
const QColor LinkAliveColor(0, 255, 64);
const QColor LinkLostColor(255, 0, 0);

} // namespace

RealTimeMonitor::RealTimeMonitor(CommEngine& engine, const RealTimeView& view,
                                 std::function<void(int)> setTimer1Interval, TestLogSink* log)
    : m_engine(engine), m_view(view), m_setTimer1Interval(std::move(setTimer1Interval)),
      m_debugTemperature(std::make_unique<DebugTemperatureCommand>(m_view.Edit11)),
      m_forcedOutput(std::make_unique<ForcedOutputCommand>(m_view.iSwitchRocker1)) {
    const auto rows = pollSteps();
    for (std::size_t step = 0; step + 1 < rows.size(); ++step) {
        m_pollSteps.push_back(std::make_unique<PollStep>(rows[step], m_live, m_view));
    }
    auto measurements = std::make_unique<MeasurementsStep>(m_live, m_view, log);
    m_measurements = measurements.get();
    m_pollSteps.push_back(std::move(measurements));

    using Table = CommEngine::Table;
    for (std::size_t step = 0; step < m_pollSteps.size(); ++step) {
        m_registrations.push_back(m_engine.registerTransaction(
            Table::PollStep, static_cast<std::uint8_t>(step), *m_pollSteps[step]));
    }
    m_registrations.push_back(m_engine.registerTransaction(Table::LiveCommand, DebugTemperatureCode,
                                                           *m_debugTemperature));
    m_registrations.push_back(
        m_engine.registerTransaction(Table::LiveCommand, ForcedOutputCode, *m_forcedOutput));
}

RealTimeMonitor::~RealTimeMonitor() = default;

std::uint32_t RealTimeMonitor::logTickCount() const {
    return m_measurements->logTickCount();
}

void RealTimeMonitor::setLogTickCount(std::uint32_t ticks) {
    m_measurements->setLogTickCount(ticks);
}

std::int16_t RealTimeMonitor::debugTempValue() const {
    return m_debugTemperature->debugTempValue();
}

std::uint16_t RealTimeMonitor::forceCoilValue() const {
    return m_forcedOutput->forceCoilValue();
}

void RealTimeMonitor::Timer1Timer() {
    m_measurements->countTimer1Tick();
    m_engine.window().forceWindowSize();
    refreshLinkBar();

    m_alarmBlinkPhase = m_alarmBlinkPhase == 0 ? 1 : 0;
    const bool litPhase = m_alarmBlinkPhase == 1;
    // Setting the interval restarts Timer1: the lit phase lasts 1 s, the dark one 0.5 s.
    if (m_setTimer1Interval) {
        m_setTimer1Interval(litPhase ? LitPhaseMs : DarkPhaseMs);
    }
    showAlarmPhase(m_live, m_view, litPhase);
}

void RealTimeMonitor::refreshLinkBar() {
    LedBar& bar = *m_view.iLedBar1;
    if (m_engine.countDownLinkAlive()) {
        bar.setSectionColor1(LinkAliveColor);
        // Replies advance the bar too, so it may stand beyond 99 here.
        bar.setPosition(bar.position() < 100 ? bar.position() + 1 : 3);
        return;
    }
    bar.setPosition(100);
    bar.setSectionColor1(LinkLostColor);
    clearLostLinkValues(m_live, m_view);
}

void RealTimeMonitor::Timer3Timer() {
    RoundLed& led = *m_view.iLedRound[18];
    if (m_live.ForcedOutput != 1) {
        led.setActive(false);
    } else if (m_live.ForceOutputStatus == 1) {
        led.setActive(!led.isActive());
    } else {
        led.setActive(true);
    }
}

void RealTimeMonitor::Button6Click() {
    if (!portReady(m_view.port, m_engine)) {
        return;
    }
    // Throws before anything is posted when the text is not a number.
    const std::int16_t value = debugTemperatureValue(m_view.Edit11->text().toStdString());
    m_debugTemperature->setDebugTempValue(value);
    m_engine.postLiveCommand(DebugTemperatureCode);
}

void RealTimeMonitor::iSwitchRocker1Change() {
    if (!portReady(m_view.port, m_engine)) {
        return;
    }
    // The rocker still shows the state from before the click: ask for the other one.
    m_forcedOutput->setForceCoilValue(m_view.iSwitchRocker1->isOn() ? ForcedOutputCommand::ForceOff
                                                                    : ForcedOutputCommand::ForceOn);
    m_engine.postLiveCommand(ForcedOutputCode);
}

} // namespace climate::realtime

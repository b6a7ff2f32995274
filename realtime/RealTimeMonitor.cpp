#include "RealTimeMonitor.h"

#include "AlarmInputsStep.h"
#include "CompressorSettingsStep.h"
#include "DebugTemperatureCommand.h"
#include "ForcedOutputCommand.h"
#include "LiveDisplay.h"
#include "MeasurementsStep.h"
#include "StatusCoilsStep.h"
#include "link/CommEngine.h"
#include "link/EngineWindow.h"
#include "widgets/LedBar.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RoundLed.h"

#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr std::uint8_t DebugTemperatureCode = 1;
constexpr std::uint8_t ForcedOutputCode = 2;

// The link bar's colours: green (0, 255, 64) while replies arrive, red when they have stopped.
const QColor LinkAliveColor(0, 255, 64);
const QColor LinkLostColor(255, 0, 0);

} // namespace

RealTimeMonitor::RealTimeMonitor(CommEngine& engine, const RealTimeView& view,
                                 std::function<void(int)> setTimer1Interval, TestLogSink* log)
    : m_engine(engine), m_view(view), m_setTimer1Interval(std::move(setTimer1Interval)),
      m_statusCoils(std::make_unique<StatusCoilsStep>(m_live, m_view)),
      m_alarmInputs(std::make_unique<AlarmInputsStep>(m_live)),
      m_compressorSettings(std::make_unique<CompressorSettingsStep>(m_live, m_view)),
      m_measurements(std::make_unique<MeasurementsStep>(m_live, m_view, m_logTickCount, log)),
      m_debugTemperature(std::make_unique<DebugTemperatureCommand>(m_view.Edit11)),
      m_forcedOutput(std::make_unique<ForcedOutputCommand>(m_view.iSwitchRocker1)) {
    m_engine.setPollStep(0, m_statusCoils.get());
    m_engine.setPollStep(1, m_alarmInputs.get());
    m_engine.setPollStep(2, m_compressorSettings.get());
    m_engine.setPollStep(3, m_measurements.get());
    m_engine.setLiveCommand(DebugTemperatureCode, m_debugTemperature.get());
    m_engine.setLiveCommand(ForcedOutputCode, m_forcedOutput.get());
}

RealTimeMonitor::~RealTimeMonitor() {
    for (std::uint8_t step = 0; step < 4; ++step) {
        m_engine.setPollStep(step, nullptr);
    }
    m_engine.setLiveCommand(DebugTemperatureCode, nullptr);
    m_engine.setLiveCommand(ForcedOutputCode, nullptr);
}

std::int16_t RealTimeMonitor::debugTempValue() const {
    return m_debugTemperature->debugTempValue();
}

std::uint16_t RealTimeMonitor::forceCoilValue() const {
    return m_forcedOutput->forceCoilValue();
}

void RealTimeMonitor::Timer1Timer() {
    if (m_logTickCount < LogTickLimit) {
        ++m_logTickCount;
    }
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
    EngineState& state = m_engine.state();
    LedBar& bar = *m_view.iLedBar1;
    if (state.LinkAliveTicks > 0) {
        --state.LinkAliveTicks;
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

bool RealTimeMonitor::portClosed() const {
    return m_view.Button1->text() == QStringLiteral("Open");
}

void RealTimeMonitor::showPortNotOpen() {
    m_engine.showMessage(UserMessage("ComPort Not Open!!", "Comm Error"));
}

void RealTimeMonitor::Button6Click() {
    if (portClosed()) {
        showPortNotOpen();
        return;
    }
    // Throws before anything is posted when the text is not a number.
    const std::int16_t value = debugTemperatureValue(m_view.Edit11->text().toStdString());
    m_debugTemperature->setDebugTempValue(value);
    m_engine.postLiveCommand(DebugTemperatureCode);
}

void RealTimeMonitor::iSwitchRocker1Change() {
    if (portClosed()) {
        showPortNotOpen();
        return;
    }
    // The rocker still shows the state from before the click: ask for the other one.
    m_forcedOutput->setForceCoilValue(m_view.iSwitchRocker1->isOn() ? ForcedOutputCommand::ForceOff
                                                                    : ForcedOutputCommand::ForceOn);
    m_engine.postLiveCommand(ForcedOutputCode);
}

#include "RealTimeMonitor.h"

#include "DebugTemperatureCommand.h"
#include "ForcedOutputCommand.h"
#include "LiveDisplay.h"
#include "PollCircle.h"
#include "PollSteps.h"
#include "TestLogPacer.h"
#include "link/CommEngine.h"
#include "link/Commands.h"
#include "link/LinkState.h"
#include "link/Page.h"
#include "link/PortGate.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RoundLed.h"

#include <QLineEdit>

namespace climate::realtime {

using namespace climate::link;
using namespace climate::widgets;

namespace {

constexpr std::uint8_t DebugTemperatureCode = Command::DebugTemperature.code;
constexpr std::uint8_t ForcedOutputCode = Command::ForcedOutput.code;

} // namespace

// The page's instruments: each group as its row shows it, and the link-loss clearing.
class RealTimeMonitor::InstrumentListener : public LiveDataListener {
public:
    explicit InstrumentListener(const RealTimeView& view) : m_view(view) {}

    void groupDecoded(LiveGroup group, const LiveData& live, LiveClock::time_point) override {
        showGroup(group, live, m_view);
    }
    void linkLost(const LiveData& live, LiveClock::time_point, bool) override {
        showLostLinkValues(live, m_view);
    }

private:
    const RealTimeView& m_view;
};

RealTimeMonitor::RealTimeMonitor(CommEngine& engine, const RealTimeView& view,
                                 std::function<void(int)> setTimer1Interval, TestLogSink* log,
                                 LiveDataModel::Clock clock)
    : m_engine(engine), m_view(view), m_setTimer1Interval(std::move(setTimer1Interval)),
      m_model(std::move(clock)), m_instruments(std::make_unique<InstrumentListener>(m_view)),
      m_logPacer(std::make_unique<TestLogPacer>(log)),
      m_debugTemperature(std::make_unique<DebugTemperatureCommand>(m_inputs)),
      m_forcedOutput(std::make_unique<ForcedOutputCommand>(m_inputs)) {
    showInputs();
    m_model.subscribe(m_inputs);
    m_model.subscribe(*m_instruments);
    m_model.subscribe(*m_logPacer);
    for (const PollRead& read : PollCircle) {
        m_pollSteps.push_back(std::make_unique<PollStep>(read, m_model));
    }

    using Table = CommEngine::Table;
    for (std::size_t step = 0; step < m_pollSteps.size(); ++step) {
        m_registrations.push_back(m_engine.registerTransaction(
            Table::PollStep, PollCircle[step].command->code, *m_pollSteps[step]));
    }
    m_registrations.push_back(m_engine.registerTransaction(Table::LiveCommand, DebugTemperatureCode,
                                                           *m_debugTemperature));
    m_registrations.push_back(
        m_engine.registerTransaction(Table::LiveCommand, ForcedOutputCode, *m_forcedOutput));
}

RealTimeMonitor::~RealTimeMonitor() = default;

// Edit11 and the rocker are views of the command inputs, both ways: what the user types or flips
// reaches the inputs, and what the commands and the poll set there is shown.
void RealTimeMonitor::showInputs() {
    if (QLineEdit* edit = m_view.Edit11) {
        edit->setText(m_inputs.debugTemperatureText());
        QObject::connect(edit, &QLineEdit::textChanged, &m_inputs,
                         &LiveCommandInputs::setDebugTemperatureText);
        QObject::connect(&m_inputs, &LiveCommandInputs::debugTemperatureTextChanged, edit,
                         [edit](const QString& text) {
                             if (edit->text() != text) {
                                 edit->setText(text);
                             }
                         });
    }
    if (RockerSwitch* rocker = m_view.iSwitchRocker1) {
        rocker->setOn(m_inputs.rockerOn());
        // A flip by the user, whether a click (after its handler) or the space bar.
        QObject::connect(rocker, &RockerSwitch::toggled, &m_inputs,
                         &LiveCommandInputs::setRockerOn);
        // Set by the program: no click, so a poll or an echo never counts as the user's action.
        QObject::connect(&m_inputs, &LiveCommandInputs::rockerSet, rocker, &RockerSwitch::setOn);
    }
}

std::uint32_t RealTimeMonitor::logTickCount() const {
    return m_logPacer->logTickCount();
}

void RealTimeMonitor::setLogTickCount(std::uint32_t ticks) {
    m_logPacer->setLogTickCount(ticks);
}

std::int16_t RealTimeMonitor::debugTempValue() const {
    return m_debugTemperature->debugTempValue();
}

std::uint16_t RealTimeMonitor::forceCoilValue() const {
    return m_forcedOutput->forceCoilValue();
}

void RealTimeMonitor::Timer1Timer() {
    m_logPacer->countTimer1Tick();
    const bool answering = m_engine.countDownLinkAlive();
    m_engine.linkState().timerTick(answering);
    if (!answering) {
        m_model.linkLostTick();
    }

    m_alarmBlinkPhase = m_alarmBlinkPhase == 0 ? 1 : 0;
    const bool litPhase = m_alarmBlinkPhase == 1;
    // Setting the interval restarts Timer1: the lit phase lasts 1 s, the dark one 0.5 s.
    if (m_setTimer1Interval) {
        m_setTimer1Interval(litPhase ? LitPhaseMs : DarkPhaseMs);
    }
    showAlarmPhase(m_model.record(), m_view, litPhase);
}

void RealTimeMonitor::Timer3Timer(int visiblePage) {
    // The circle runs only on this page with the port open; the trend shows the rest as a gap.
    const bool polling =
        m_view.port != nullptr && m_view.port->portOpen() && visiblePage == RealTimeDataPage;
    if (!polling) {
        m_model.pollingStopped();
    }
    const LiveData& live = m_model.record();
    RoundLed& led = *m_view.iLedRound[18];
    if (live.ForcedOutput != 1) {
        led.setActive(false);
    } else if (live.ForceOutputStatus == 1) {
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
    const std::int16_t value = debugTemperatureValue(m_inputs.debugTemperatureText().toStdString());
    m_debugTemperature->setDebugTempValue(value);
    m_engine.postLiveCommand(DebugTemperatureCode);
}

void RealTimeMonitor::iSwitchRocker1Change() {
    if (!portReady(m_view.port, m_engine)) {
        return;
    }
    // The rocker still stands as before the click: ask for the other state.
    m_forcedOutput->setForceCoilValue(m_inputs.rockerOn() ? ForcedOutputCommand::ForceOff
                                                          : ForcedOutputCommand::ForceOn);
    m_engine.postLiveCommand(ForcedOutputCode);
}

} // namespace climate::realtime

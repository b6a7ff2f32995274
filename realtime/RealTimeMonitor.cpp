#include "RealTimeMonitor.h"

#include "DebugTemperatureCommand.h"
#include "LiveDisplay.h"
#include "TestLogPacer.h"
#include "link/CommEngine.h"
#include "link/LinkState.h"
#include "link/Page.h"
#include "link/PortGate.h"
#include "widgets/RockerSwitch.h"
#include "widgets/RoundLed.h"

#include <QLineEdit>

namespace climate::realtime {

using namespace climate::link;
using namespace climate::widgets;

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

RealTimeMonitor::RealTimeMonitor(CommEngine& engine, LivePolling& polling, const RealTimeView& view,
                                 std::function<void(int)> setTimer1Interval, TestLogSink* log)
    : m_engine(engine), m_view(view), m_setTimer1Interval(std::move(setTimer1Interval)),
      m_polling(polling), m_instruments(std::make_unique<InstrumentListener>(m_view)),
      m_logPacer(std::make_unique<TestLogPacer>(log)) {
    showInputs();
    m_polling.model().subscribe(*m_instruments);
    m_polling.model().subscribe(*m_logPacer);
}

RealTimeMonitor::RealTimeMonitor(CommEngine& engine, const RealTimeView& view,
                                 std::function<void(int)> setTimer1Interval, TestLogSink* log,
                                 LiveDataModel::Clock clock)
    : m_engine(engine), m_view(view), m_setTimer1Interval(std::move(setTimer1Interval)),
      m_ownPolling(std::make_unique<LivePolling>(engine, std::move(clock))),
      m_polling(*m_ownPolling), m_instruments(std::make_unique<InstrumentListener>(m_view)),
      m_logPacer(std::make_unique<TestLogPacer>(log)) {
    showInputs();
    m_polling.model().subscribe(*m_instruments);
    m_polling.model().subscribe(*m_logPacer);
}

RealTimeMonitor::~RealTimeMonitor() = default;

// Edit11 and the rocker are views of the command inputs, both ways: what the user types or flips
// reaches the inputs, and what the commands and the poll set there is shown.
void RealTimeMonitor::showInputs() {
    if (QLineEdit* edit = m_view.Edit11) {
        edit->setText(inputs().debugTemperatureText());
        QObject::connect(edit, &QLineEdit::textChanged, &inputs(),
                         &LiveCommandInputs::setDebugTemperatureText);
        QObject::connect(&inputs(), &LiveCommandInputs::debugTemperatureTextChanged, edit,
                         [edit](const QString& text) {
                             if (edit->text() != text) {
                                 edit->setText(text);
                             }
                         });
    }
    if (RockerSwitch* rocker = m_view.iSwitchRocker1) {
        rocker->setOn(inputs().rockerOn());
        // A flip by the user, whether a click (after its handler) or the space bar.
        QObject::connect(rocker, &RockerSwitch::toggled, &inputs(),
                         &LiveCommandInputs::setRockerOn);
        // Set by the program: no click, so a poll or an echo never counts as the user's action.
        QObject::connect(&inputs(), &LiveCommandInputs::rockerSet, rocker, &RockerSwitch::setOn);
    }
}

std::uint32_t RealTimeMonitor::logTickCount() const {
    return m_logPacer->logTickCount();
}

void RealTimeMonitor::setLogTickCount(std::uint32_t ticks) {
    m_logPacer->setLogTickCount(ticks);
}

void RealTimeMonitor::Timer1Timer() {
    m_logPacer->countTimer1Tick();
    const bool answering = m_engine.countDownLinkAlive();
    m_engine.linkState().timerTick(answering);
    if (!answering) {
        model().linkLostTick();
    }

    m_alarmBlinkPhase = m_alarmBlinkPhase == 0 ? 1 : 0;
    const bool litPhase = m_alarmBlinkPhase == 1;
    // Setting the interval restarts Timer1: the lit phase lasts 1 s, the dark one 0.5 s.
    if (m_setTimer1Interval) {
        m_setTimer1Interval(litPhase ? LitPhaseMs : DarkPhaseMs);
    }
    showAlarmPhase(model().record(), m_view, litPhase);
}

void RealTimeMonitor::Timer3Timer(int visiblePage) {
    // The circle runs only on this page with the port open; the trend shows the rest as a gap.
    const bool polling =
        m_view.port != nullptr && m_view.port->portOpen() && visiblePage == RealTimeDataPage;
    if (!polling) {
        model().pollingStopped();
    }
    const LiveData& live = model().record();
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
    m_polling.postDebugTemperature(
        debugTemperatureValue(inputs().debugTemperatureText().toStdString()));
}

void RealTimeMonitor::iSwitchRocker1Change() {
    if (!portReady(m_view.port, m_engine)) {
        return;
    }
    m_polling.postForcedOutputFlip();
}

} // namespace climate::realtime

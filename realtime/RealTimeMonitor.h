#pragma once

#include "LiveCommandInputs.h"
#include "LiveData.h"
#include "LiveDataModel.h"
#include "LivePolling.h"
#include "RealTimeView.h"
#include "link/CommEngine.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace climate::realtime {

class TestLogPacer;
class TestLogSink;

// The RealTimeData page over the polling of a session (LivePolling): the instruments as views of
// the live-data model, the link bar's ticks and the blinking alarm LEDs (Timer1), the
// forced-output LED (Timer3), and the handlers of the two one-shot commands (debug temperature,
// forced output). The window forwards its handlers of the same names.
//
// The page's instruments listen to the model first, the test log second; other views (the
// trend) subscribe after them.
class RealTimeMonitor {
public:
    static constexpr int LitPhaseMs = 1000;
    static constexpr int DarkPhaseMs = 500;

    // The page over `polling`, which `engine` runs. `setTimer1Interval` changes the interval of
    // the window's Timer1; `log` (may be null) receives the test-log rows.
    RealTimeMonitor(link::CommEngine& engine, LivePolling& polling, const RealTimeView& view,
                    std::function<void(int)> setTimer1Interval, TestLogSink* log);
    // The same over a polling of its own, registered with `engine`; `clock` stamps the model's
    // events (the system clock unless given).
    RealTimeMonitor(link::CommEngine& engine, const RealTimeView& view,
                    std::function<void(int)> setTimer1Interval, TestLogSink* log,
                    LiveDataModel::Clock clock = {});
    ~RealTimeMonitor();
    RealTimeMonitor(const RealTimeMonitor&) = delete;
    RealTimeMonitor& operator=(const RealTimeMonitor&) = delete;

    // Link bar (the engine's link-state model), clearing on link loss, alarm blinking, test-log
    // pacing.
    void Timer1Timer();
    // The forced-output LED iLedRound18; tells the model when polling does not run, which
    // `visiblePage` (the page control's index) and the port's state decide.
    void Timer3Timer(int visiblePage);
    // "Send" of the Debug Temperature group. Throws ConversionError for a text that is not a
    // number; nothing is posted then.
    void Button6Click();
    // A click on the rocker, called before the rocker flips.
    void iSwitchRocker1Change();

    [[nodiscard]] LiveDataModel& model() { return m_polling.model(); }
    // The debug temperature's text and the rocker's position, as the commands use them.
    [[nodiscard]] LiveCommandInputs& inputs() { return m_polling.inputs(); }
    [[nodiscard]] const LiveData& liveData() const { return m_polling.model().record(); }
    // For tests that stage alarm flags without a poll.
    [[nodiscard]] LiveData& liveData() { return m_polling.model().record(); }
    [[nodiscard]] std::uint32_t logTickCount() const;
    // For tests that shorten the wait for a test-log row.
    void setLogTickCount(std::uint32_t ticks);
    [[nodiscard]] std::uint8_t alarmBlinkPhase() const { return m_alarmBlinkPhase; }
    [[nodiscard]] std::int16_t debugTempValue() const { return m_polling.debugTempValue(); }
    [[nodiscard]] std::uint16_t forceCoilValue() const { return m_polling.forceCoilValue(); }

private:
    class InstrumentListener;

    void showInputs();

    link::CommEngine& m_engine;
    RealTimeView m_view;
    std::function<void(int)> m_setTimer1Interval;
    std::unique_ptr<LivePolling> m_ownPolling; // only when made without a session's
    LivePolling& m_polling;
    std::unique_ptr<InstrumentListener> m_instruments;
    std::unique_ptr<TestLogPacer> m_logPacer;
    std::uint8_t m_alarmBlinkPhase = 0;
};

} // namespace climate::realtime

// The live-data model as the polling circle fills it: each group published once its reply is
// taken, with the time it arrived; the link's loss (after the record's clearing) and return; the
// stop of polling on another page; and the listeners' order.
#include "RealTimeFixture.h"
#include "Replies.h"

#include "link/CommEngine.h"
#include "realtime/LiveDataModel.h"
#include "widgets/NumericReadout.h"

#include <stdexcept>
#include <string>
#include <vector>

using namespace climate::link;
using namespace climate::realtime;
using namespace std::chrono_literals;

namespace {

// Every event as one line, e.g. "group 3 at 1200 T1=25.3", "lost at 5000 first".
class EventRecorder : public LiveDataListener {
public:
    explicit EventRecorder(std::function<void()> onMeasurements = {})
        : m_onMeasurements(std::move(onMeasurements)) {}

    void groupDecoded(LiveGroup group, const LiveData& live,
                      LiveClock::time_point arrived) override {
        events.push_back("group " + std::to_string(static_cast<int>(group)) + " at " +
                         std::to_string(ms(arrived)) + " T1=" + number(live.Temperature1));
        if (group == LiveGroup::Measurements && m_onMeasurements) {
            m_onMeasurements();
        }
    }
    void linkLost(const LiveData& live, LiveClock::time_point at, bool first) override {
        events.push_back("lost at " + std::to_string(ms(at)) + (first ? " first" : "") +
                         " T1=" + number(live.Temperature1) + " T3=" + number(live.Temperature3));
    }
    void linkReturned(LiveClock::time_point at) override {
        events.push_back("returned at " + std::to_string(ms(at)));
    }
    void pollingStopped(LiveClock::time_point at) override {
        events.push_back("stopped at " + std::to_string(ms(at)));
    }

    std::vector<std::string> events;

private:
    static long long ms(LiveClock::time_point t) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
    }
    static std::string number(double v) {
        char text[32];
        std::snprintf(text, sizeof text, "%g", v);
        return text;
    }
    std::function<void()> m_onMeasurements;
};

class LiveModel : public RealTimeFixture {
protected:
    LiveModel() { monitor.model().subscribe(recorder); }

    // One circle; reply n arrives at `start` + n * 300 ms.
    void circle(LiveClock::time_point start) {
        const std::vector<std::uint8_t> replies[] = {coilsReply(0x3F, 0x10), inputsReply(0x00001),
                                                     settingsReply(255, 30),
                                                     measurementsReply(typicalMeasurements())};
        for (int n = 0; n < 4; ++n) {
            sendTick();
            now = start + n * 300ms;
            rig.port.feed(replies[n]);
            rig.driver.tick();
        }
    }

    EventRecorder recorder;
};

TEST_F(LiveModel, EachGroupIsPublishedWithTheTimeItsReplyArrived) {
    showRealTimeData();
    circle(LiveClock::time_point(1000ms));
    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{"group 0 at 1000 T1=0", "group 1 at 1300 T1=0",
                                        "group 2 at 1600 T1=0", "group 3 at 1900 T1=25.3"}));
}

// A reply that is not taken (time-out, wrong header) publishes nothing.
TEST_F(LiveModel, RejectedRepliesPublishNothing) {
    showRealTimeData();
    sendTick();
    rig.port.feed(bitsReply(1, {0x3F, 0x10}, 7)); // another address
    rig.driver.tick();
    rig.driver.runUntil([&] { return state().PollStep == 1 && state().SendPending; }, 1000);
    sendTick();
    rig.driver.runUntil([&] { return state().PollStep == 2; }, 1000); // time-out
    EXPECT_TRUE(recorder.events.empty());
}

// The instruments keep their clearing on every tick of a lost link; the listeners hear the loss
// with the record already cleared (Temperature3 is kept), once as the first, and the return
// before the group whose reply ended it.
TEST_F(LiveModel, LinkLossAndReturn) {
    showRealTimeData();
    circle(LiveClock::time_point(1000ms));
    recorder.events.clear();
    stage().linkAliveTicks(0);
    now = LiveClock::time_point(5000ms);
    monitor.Timer1Timer();
    now = LiveClock::time_point(6000ms);
    monitor.Timer1Timer();
    EXPECT_EQ(view().iAnalogOutput[3]->value(), 0) << "the instruments still show the clearing";
    EXPECT_TRUE(monitor.model().linkCountsLost());
    circle(LiveClock::time_point(9000ms));
    EXPECT_EQ(recorder.events,
              (std::vector<std::string>{"lost at 5000 first T1=0 T3=30.1",
                                        "lost at 6000 T1=0 T3=30.1", "returned at 9000",
                                        "group 0 at 9000 T1=0", "group 1 at 9300 T1=0",
                                        "group 2 at 9600 T1=0", "group 3 at 9900 T1=25.3"}));
    EXPECT_FALSE(monitor.model().linkCountsLost());
}

// Polling runs only on the RealTimeData page with the port open: Timer3 reports its stop once,
// and only when values had arrived since the last stop.
TEST_F(LiveModel, PollingStopsOnAnotherPage) {
    monitor.Timer3Timer(rig.window.visiblePage());
    EXPECT_TRUE(recorder.events.empty()) << "nothing had arrived";
    showRealTimeData();
    circle(LiveClock::time_point(1000ms));
    recorder.events.clear();
    now = LiveClock::time_point(3000ms);
    monitor.Timer3Timer(rig.window.visiblePage());
    EXPECT_TRUE(recorder.events.empty()) << "polling runs";
    rig.window.setVisiblePage(Page::ConfigurationPage);
    monitor.Timer3Timer(rig.window.visiblePage());
    now = LiveClock::time_point(4000ms);
    monitor.Timer3Timer(rig.window.visiblePage());
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"stopped at 3000"}));
}

TEST_F(LiveModel, PollingStopsWhenThePortCloses) {
    showRealTimeData();
    circle(LiveClock::time_point(10000ms));
    recorder.events.clear();
    page.closePort();
    now = LiveClock::time_point(12000ms);
    monitor.Timer3Timer(rig.window.visiblePage());
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"stopped at 12000"}));
}

// The instruments hear first, the test log second, a later listener last: it sees the page
// already showing the values and the log's row written. A failing log does not keep it from
// hearing; the log's error is still thrown out of the tick.
TEST_F(LiveModel, ListenersHearInOrderAndAFailingLogDoesNotSilenceTheLaterOnes) {
    double shownWhenHeard = -1;
    std::size_t logRowsWhenHeard = 99;
    EventRecorder late([&] {
        shownWhenHeard = view().iAnalogOutput[3]->value();
        logRowsWhenHeard = log.rows.size();
    });
    monitor.model().subscribe(late);
    showRealTimeData();
    monitor.setLogTickCount(50);
    circle(LiveClock::time_point(1000ms));
    EXPECT_EQ(shownWhenHeard, 25.3);
    EXPECT_EQ(logRowsWhenHeard, 1u);

    late.events.clear();
    monitor.setLogTickCount(50);
    log.onRow = [] { throw std::runtime_error("workbook not writable"); };
    stage().pollStep(3);
    sendTick();
    rig.port.feed(measurementsReply(typicalMeasurements()));
    EXPECT_THROW(rig.driver.tick(), std::runtime_error);
    EXPECT_EQ(late.events.size(), 1u);
}

} // namespace

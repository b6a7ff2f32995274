#pragma once

#include "RealTimePage.h"

#include "link/Page.h"
#include "realtime/RealTimeMonitor.h"
#include "realtime/TestLogSink.h"
#include "support/EngineRig.h"
#include "support/EngineStaging.h"
#include "support/FrameHex.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

// Collects the rows the polling circle hands to the test log; `onRow` runs inside each call.
class RecordingLog : public climate::realtime::TestLogSink {
public:
    void WriteLogRecord(const climate::realtime::TestLogRow& row) override {
        rows.push_back(row);
        if (onRow) {
            onRow();
        }
    }

    std::vector<climate::realtime::TestLogRow> rows;
    std::function<void()> onRow;
};

// A real engine over the fake port and window, the page's widgets, and the monitor wired to them,
// with the port open.
class RealTimeFixture : public ::testing::Test {
protected:
    [[nodiscard]] const climate::link::EngineState& state() const { return rig.engine.state(); }
    [[nodiscard]] EngineStaging stage() { return EngineStaging(rig.engine); }
    [[nodiscard]] const climate::realtime::RealTimeView& view() const { return page.view(); }

    // Shows the RealTimeData page and runs its first tick (reset and purge only).
    void showRealTimeData() { rig.driver.showPage(climate::link::RealTimeDataPage); }

    // Runs the send tick of the current transaction and returns what it wrote.
    std::vector<std::uint8_t> sendTick() {
        EXPECT_TRUE(state().SendPending);
        const std::size_t before = rig.port.writes().size();
        rig.driver.tick();
        if (rig.port.writes().size() != before + 1) {
            ADD_FAILURE() << "the tick sent nothing";
            return {};
        }
        return rig.port.writes().back().bytes;
    }

    // The current transaction sends, `reply` arrives whole, and the next tick takes it.
    void exchange(const std::vector<std::uint8_t>& reply) {
        sendTick();
        rig.port.feed(reply);
        rig.driver.tick();
    }

    EngineRig rig;
    RealTimePage page;
    RecordingLog log;
    std::vector<int> timer1Intervals;
    // The time the live-data model stamps on its events.
    climate::realtime::LiveClock::time_point now{};
    climate::realtime::RealTimeMonitor monitor{rig.engine, page.view(),
                                               [this](int ms) { timer1Intervals.push_back(ms); },
                                               &log, [this] { return now; }};
};

// The trend's history as a listener of the live-data model: a row per measurement with every
// channel, alarm marks only where an alarm LED lights up, gaps where the link is lost or polling
// stops (never the zeros of the clearing), and the value a cursor reads at any time.
#include "trend/TrendHistory.h"
#include "trend/TrendCsv.h"

#include "realtime/LiveData.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace climate::realtime;
using namespace climate::trend;
using namespace std::chrono_literals;

namespace {

LiveClock::time_point at(std::int64_t ms) {
    return LiveClock::time_point(std::chrono::milliseconds(ms));
}

LiveData typical() {
    LiveData live;
    live.InternalFan1Rev = 1200;
    live.InternalFan2Rev = 1300;
    live.ExternalFan1Rev = 2400;
    live.ExternalFan2Rev = 2500;
    live.Temperature1 = 25.3;
    live.Temperature2 = -5.5;
    live.Temperature3 = 30.1;
    live.SupplyVoltage = 48.2;
    live.CompressorRev = -200;
    live.CompressorCurrent = 12.5;
    live.HeaterCurrent = 4.4;
    return live;
}

TEST(TrendHistory, AMeasurementIsOneRowOfEveryChannelAtItsTime) {
    TrendHistory history;
    history.groupDecoded(LiveGroup::StatusCoils, typical(), at(900));
    history.groupDecoded(LiveGroup::CompressorSettings, typical(), at(950));
    history.groupDecoded(LiveGroup::Measurements, typical(), at(1000));
    ASSERT_EQ(history.rows().size(), 1u) << "only the measurements make a row";
    const TrendRow& row = history.rows()[0];
    EXPECT_EQ(row.ms, 1000);
    const struct {
        Channel channel;
        float value;
    } expected[] = {
        {Channel::Temperature1, 25.3f},      {Channel::Temperature2, -5.5f},
        {Channel::Temperature3, 30.1f},      {Channel::InternalFan1, 1200},
        {Channel::InternalFan2, 1300},       {Channel::ExternalFan1, 2400},
        {Channel::ExternalFan2, 2500},       {Channel::CompressorSpeed, -200},
        {Channel::CompressorCurrent, 12.5f}, {Channel::HeaterCurrent, 4.4f},
        {Channel::SupplyVoltage, 48.2f},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(row.values[static_cast<std::size_t>(e.channel)], e.value)
            << channelInfo(static_cast<std::size_t>(e.channel)).name;
    }
}

TEST(TrendHistory, GapsAtLinkLossAndPollingStopButNeverTheClearingZeros) {
    TrendHistory history;
    history.linkLost(LiveData{}, at(10), true);
    history.pollingStopped(at(20));
    EXPECT_TRUE(history.empty()) << "a gap before any sample means nothing";

    history.groupDecoded(LiveGroup::Measurements, typical(), at(1000));
    LiveData cleared = typical();
    clearLostLinkRecord(cleared);
    history.linkLost(cleared, at(31000), true);
    history.linkLost(cleared, at(32000), false);
    history.pollingStopped(at(33000));
    ASSERT_EQ(history.rows().size(), 2u) << "one gap, however the loss goes on";
    EXPECT_TRUE(history.rows()[1].isGap());
    EXPECT_EQ(history.rows()[1].ms, 31000);

    history.linkReturned(at(40000));
    history.groupDecoded(LiveGroup::Measurements, typical(), at(40000));
    history.pollingStopped(at(50000));
    ASSERT_EQ(history.rows().size(), 4u);
    EXPECT_TRUE(history.rows()[3].isGap());
    for (const TrendRow& row : history.rows()) {
        EXPECT_TRUE(row.isGap() ||
                    row.values[static_cast<std::size_t>(Channel::Temperature1)] == 25.3f)
            << "a zero reached the trend";
    }
}

TEST(TrendHistory, AlarmMarksOnlyWhereAnAlarmLightsUp) {
    TrendHistory history;
    LiveData live;
    history.groupDecoded(LiveGroup::AlarmInputs, live, at(1000));
    live.HeaterAlarm = 1;
    history.groupDecoded(LiveGroup::AlarmInputs, live, at(2000));
    history.groupDecoded(LiveGroup::AlarmInputs, live, at(3000)); // still on: no new mark
    live.CompressorAlarm2 = 1; // one LED for both compressor alarms
    live.CompressorAlarm1 = 1;
    history.groupDecoded(LiveGroup::AlarmInputs, live, at(4000));
    live.HeaterAlarm = 0;
    history.groupDecoded(LiveGroup::AlarmInputs, live, at(5000));
    live.HeaterAlarm = 1;
    history.groupDecoded(LiveGroup::AlarmInputs, live, at(6000));
    const auto rises = history.alarmRises();
    ASSERT_EQ(rises.size(), 3u);
    EXPECT_EQ(rises[0].ms, 2000);
    EXPECT_STREQ(alarmName(rises[0].alarm), "Heater");
    EXPECT_EQ(rises[1].ms, 4000);
    EXPECT_STREQ(alarmName(rises[1].alarm), "Compressor");
    EXPECT_EQ(rises[2].ms, 6000);
    EXPECT_STREQ(alarmName(rises[2].alarm), "Heater");
}

TEST(TrendHistory, ValueAtACursorTime) {
    TrendHistory history;
    TrendRow row = TrendRow::gap(0);
    row.values.fill(1);
    for (const std::int64_t ms : {1000, 2000}) {
        row.ms = ms;
        row.values[0] = float(ms) / 1000;
        history.append(row);
    }
    history.appendGap(30000);
    row.ms = 40000;
    row.values[0] = 7;
    history.append(row);

    const struct {
        std::int64_t ms;
        std::optional<double> expected;
        const char* why;
    } cases[] = {
        {999, std::nullopt, "before the first sample"},
        {1000, 1.0, "at a sample"},
        {1999, 1.0, "between two samples: the earlier one"},
        {2000 + TrendHistory::HoldMs, 2.0, "the last sample before a gap holds a while"},
        {2001 + TrendHistory::HoldMs, std::nullopt, "then the gap"},
        {35000, std::nullopt, "after the gap's mark"},
        {40000 + TrendHistory::HoldMs, 7.0, "the newest sample holds a while"},
        {40001 + TrendHistory::HoldMs, std::nullopt, "then nothing is known"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(history.valueAt(0, c.ms), c.expected) << c.why;
    }
}

TEST(TrendHistory, TheOldestTenthGoesBeyondTheLimit) {
    TrendHistory history;
    TrendRow row;
    for (std::size_t i = 0; i <= TrendHistory::MaxRows; ++i) {
        row.ms = static_cast<std::int64_t>(i);
        history.append(row);
    }
    EXPECT_EQ(history.rows().size(), TrendHistory::MaxRows - TrendHistory::MaxRows / 10 + 1);
    EXPECT_EQ(history.rows().front().ms, static_cast<std::int64_t>(TrendHistory::MaxRows / 10));
    EXPECT_EQ(history.rows().back().ms, static_cast<std::int64_t>(TrendHistory::MaxRows));
}

TEST(TrendCsv, IsoTimesOneColumnPerChannelAndEmptyCellsInGaps) {
    TrendHistory history;
    history.groupDecoded(LiveGroup::Measurements, typical(), at(1796949822165));
    history.appendGap(1796949852000);
    const QStringList lines = trendCsv(history.rows()).split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 4); // heading, two rows, and the empty text after the last newline
    EXPECT_EQ(lines[0],
              QStringLiteral("Time,Internal fan 1 (RPM),Internal fan 2 (RPM),External fan 1 (RPM),"
                             "External fan 2 (RPM),Temperature 1 (°C),Temperature 2 (°C),"
                             "Supply voltage (V),Compressor speed (RPM),Compressor current (A),"
                             "Heater current (A),Temperature 3 (°C)"));
    EXPECT_EQ(lines[1],
              QStringLiteral("2026-12-11T00:43:42.165+00:00,1200,1300,2400,2500,25.3,-5.5,48.2,"
                             "-200,12.5,4.4,30.1"));
    EXPECT_EQ(lines[2], QStringLiteral("2026-12-11T00:44:12.000+00:00,,,,,,,,,,,"));
    EXPECT_TRUE(lines[3].isEmpty());
}

} // namespace

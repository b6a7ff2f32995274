#pragma once

#include "TrendChannels.h"
#include "realtime/LiveDataModel.h"

#include <QObject>

#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

namespace climate::trend {

// One moment of the trend: the time (ms since the epoch, UTC) and every channel's value; NaN
// where the channel has no value. A row with no value at all is a gap: the lines break there.
struct TrendRow {
    std::int64_t ms = 0;
    std::array<float, ChannelCount> values{};

    [[nodiscard]] bool has(std::size_t channel) const { return !std::isnan(values[channel]); }
    [[nodiscard]] bool isGap() const;
    [[nodiscard]] static TrendRow gap(std::int64_t ms);
};

// An alarm LED of the page that lit up at `ms`.
struct AlarmRise {
    std::int64_t ms = 0;
    std::uint8_t alarm = 0; // index into alarmName()
};

// The samples of a trend in time order, and the alarm rises. As a listener of the live-data model
// it takes the measurements each time they arrive, notes the alarms that rise, and puts a gap
// where the link is lost or polling stops; the link-loss zeros of the record never reach it.
// Beyond MaxRows the oldest tenth is dropped at once.
class TrendHistory : public QObject, public realtime::LiveDataListener {
    Q_OBJECT

public:
    static constexpr std::size_t MaxRows = 500'000; // about a week at the circle's pace
    // A sample stands for this long after it arrived when nothing follows it yet.
    static constexpr std::int64_t HoldMs = 5000;

    explicit TrendHistory(QObject* parent = nullptr);

    void groupDecoded(realtime::LiveGroup group, const realtime::LiveData& live,
                      realtime::LiveClock::time_point arrived) override;
    void linkLost(const realtime::LiveData& live, realtime::LiveClock::time_point at,
                  bool first) override;
    void pollingStopped(realtime::LiveClock::time_point at) override;

    // Appends a row (times must not go back: an earlier one is put at the last row's time).
    void append(const TrendRow& row);
    // Appends a gap unless the history is empty or already ends in one.
    void appendGap(std::int64_t ms);
    void addAlarmRise(const AlarmRise& rise);
    void clear();

    [[nodiscard]] std::span<const TrendRow> rows() const { return m_rows; }
    [[nodiscard]] std::span<const AlarmRise> alarmRises() const { return m_alarms; }
    [[nodiscard]] bool empty() const { return m_rows.empty(); }
    // The index of the first row at or after `ms`.
    [[nodiscard]] std::size_t lowerBound(std::int64_t ms) const;
    // The value a channel had at `ms`: the last sample at or before it, while the line goes on
    // from it (a later sample follows without a gap, or it is at most HoldMs old); none in a gap.
    [[nodiscard]] std::optional<double> valueAt(std::size_t channel, std::int64_t ms) const;
    // The bytes the samples and marks take.
    [[nodiscard]] std::size_t memoryBytes() const;

signals:
    // Rows or marks were added or the history was replaced.
    void changed();

private:
    std::vector<TrendRow> m_rows;
    std::vector<AlarmRise> m_alarms;
    std::array<bool, AlarmCount> m_alarmLit{};
};

[[nodiscard]] std::int64_t toMs(realtime::LiveClock::time_point t);

} // namespace climate::trend

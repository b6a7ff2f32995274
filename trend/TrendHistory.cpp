#include "TrendHistory.h"

#include "realtime/LiveChannels.h"
#include "realtime/LiveData.h"

#include <algorithm>

namespace climate::trend {

using namespace climate::realtime;

bool TrendRow::isGap() const {
    return std::all_of(values.begin(), values.end(), [](float v) { return std::isnan(v); });
}

TrendRow TrendRow::gap(std::int64_t ms) {
    TrendRow row;
    row.ms = ms;
    row.values.fill(std::numeric_limits<float>::quiet_NaN());
    return row;
}

std::int64_t toMs(LiveClock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
}

TrendHistory::TrendHistory(QObject* parent) : QObject(parent) {}

void TrendHistory::groupDecoded(LiveGroup group, const LiveData& live,
                                LiveClock::time_point arrived) {
    const std::int64_t ms = toMs(arrived);
    if (group == LiveGroup::Measurements) {
        TrendRow row;
        row.ms = ms;
        for (std::size_t c = 0; c < ChannelCount; ++c) {
            row.values[c] = static_cast<float>(channelInfo(c).value(live));
        }
        append(row);
        return;
    }
    if (group == LiveGroup::AlarmInputs) {
        const auto leds = alarmLeds();
        bool rose = false;
        for (std::size_t a = 0; a < AlarmCount && a < leds.size(); ++a) {
            const bool lit = alarmLit(leds[a], live);
            if (lit && !m_alarmLit[a]) {
                m_alarms.push_back({ms, static_cast<std::uint8_t>(a)});
                rose = true;
            }
            m_alarmLit[a] = lit;
        }
        if (rose) {
            emit changed();
        }
    }
}

void TrendHistory::linkLost(const LiveData& /*live*/, LiveClock::time_point at, bool first) {
    if (first) {
        appendGap(toMs(at));
    }
}

void TrendHistory::pollingStopped(LiveClock::time_point at) {
    appendGap(toMs(at));
}

void TrendHistory::append(const TrendRow& row) {
    if (m_rows.size() >= MaxRows) {
        m_rows.erase(m_rows.begin(), m_rows.begin() + MaxRows / 10);
        const std::int64_t oldest = m_rows.front().ms;
        std::erase_if(m_alarms, [&](const AlarmRise& r) { return r.ms < oldest; });
    }
    m_rows.push_back(row);
    if (m_rows.size() > 1 && m_rows.back().ms < m_rows[m_rows.size() - 2].ms) {
        m_rows.back().ms = m_rows[m_rows.size() - 2].ms; // the clock was set back
    }
    emit changed();
}

void TrendHistory::appendGap(std::int64_t ms) {
    if (m_rows.empty() || m_rows.back().isGap()) {
        return;
    }
    append(TrendRow::gap(ms));
}

void TrendHistory::addAlarmRise(const AlarmRise& rise) {
    m_alarms.push_back(rise);
    emit changed();
}

void TrendHistory::clear() {
    m_rows.clear();
    m_alarms.clear();
    m_alarmLit = {};
    emit changed();
}

std::size_t TrendHistory::lowerBound(std::int64_t ms) const {
    const auto at =
        std::lower_bound(m_rows.begin(), m_rows.end(), ms,
                         [](const TrendRow& row, std::int64_t t) { return row.ms < t; });
    return static_cast<std::size_t>(at - m_rows.begin());
}

std::optional<double> TrendHistory::valueAt(std::size_t channel, std::int64_t ms) const {
    // The last row at or before ms.
    const auto after =
        std::upper_bound(m_rows.begin(), m_rows.end(), ms,
                         [](std::int64_t t, const TrendRow& row) { return t < row.ms; });
    if (after == m_rows.begin()) {
        return std::nullopt;
    }
    const TrendRow& row = *(after - 1);
    if (!row.has(channel)) {
        return std::nullopt;
    }
    const bool lineGoesOn = after != m_rows.end() && after->has(channel);
    if (!lineGoesOn && ms - row.ms > HoldMs) {
        return std::nullopt;
    }
    return row.values[channel];
}

std::size_t TrendHistory::memoryBytes() const {
    return m_rows.capacity() * sizeof(TrendRow) + m_alarms.capacity() * sizeof(AlarmRise) +
           sizeof(*this);
}

} // namespace climate::trend

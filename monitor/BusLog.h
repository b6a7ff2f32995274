#pragma once

#include "link/EngineObserver.h"
#include "link/TrafficHistory.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

namespace climate::monitor {

// One line of the bus monitor.
struct BusEntry {
    enum class Direction : std::uint8_t {
        Sent,     // a request the engine wrote
        Received, // a chunk the engine read
        Purged,   // bytes thrown away unread
        Outcome,  // how a transaction ended
        Note,     // the monitor's own remark (e.g. a controller search)
    };
    enum class Severity : std::uint8_t { Normal, Warning, Error };

    std::uint64_t sequence = 0;    // 0 for the first entry since the log was made; never reused
    std::int64_t msSinceStart = 0; // the wall clock follows from it: BusLog::wallClock()
    Direction direction = Direction::Note;
    QByteArray bytes;
    QString meaning;
    QString outcome; // empty unless the line carries a judgement
    Severity severity = Severity::Normal;
    std::optional<double> replyMs; // on the first chunk of a reply
};

// The counters of the monitor, since it started or since reset().
struct BusCounters {
    std::uint64_t requests = 0;
    std::uint64_t goodReplies = 0;
    std::uint64_t timeouts = 0;
    std::uint64_t badCrc = 0;
    std::uint64_t wrongHeader = 0;
    std::uint64_t exceptionReplies = 0;
    std::uint64_t abandoned = 0;
    std::uint64_t bytesPurged = 0;
    std::uint64_t replyTimes = 0; // how many reply times the mean is taken over
    double replyMsTotal = 0;
    double replyMsMax = 0;

    [[nodiscard]] double replyMsMean() const {
        return replyTimes == 0 ? 0.0 : replyMsTotal / static_cast<double>(replyTimes);
    }
};

[[nodiscard]] QString directionText(BusEntry::Direction direction);
[[nodiscard]] QString outcomeText(link::EngineObserver::Outcome outcome);
// "Internal Fan Set", "poll 1 (alarm inputs)", ...
[[nodiscard]] QString transactionName(const link::EngineObserver::TransactionId& id);

// The clocks a BusLog reads; tests give their own.
struct BusLogTime {
    std::function<link::TransportDetails::Clock::time_point()> steady = [] {
        return link::TransportDetails::Clock::now();
    };
    std::function<QDateTime()> wall = [] { return QDateTime::currentDateTime(); };
};

// What the engine said on the bus, as the monitor keeps it: the last `capacity` entries (older
// ones are dropped and counted) and the counters. The list and the counters are separate: clear()
// empties the list, reset() zeroes the counters, neither touches the other.
//
// Each transaction's received bytes are read together as one reply, so a split reply is decoded
// once its last chunk is in, and bytes that form an exception reply are labelled as one although
// the engine does not recognise them. The reply time is the port layer's (request handed to the
// driver to first byte), or when the port does not stamp arrivals, the time from the request to
// the tick that read the first chunk.
class BusLog : public link::EngineObserver {
public:
    using Clock = link::TransportDetails::Clock;
    static constexpr std::size_t DefaultCapacity = 10000;

    using Time = BusLogTime;

    explicit BusLog(std::size_t capacity = DefaultCapacity, Time time = Time());

    // --- EngineObserver -----------------------------------------------------------------------
    void requestSent(const TransactionId& id, std::span<const std::uint8_t> frame) override;
    void bytesReceived(const TransactionId& id, std::span<const std::uint8_t> chunk,
                       const link::TransportDetails& transport) override;
    void bytesPurged(std::uint32_t count, PurgeReason reason) override;
    void transactionEnded(const TransactionId& id, Outcome outcome) override;

    // A line of the monitor's own, outside the engine's traffic.
    void addNote(const QString& text, BusEntry::Severity severity = BusEntry::Severity::Normal);

    // Starts again from nothing: no entries, counters zero, time zero now.
    void restart();
    // Starts again from what `history` kept: its events become the first entries, at the times
    // they happened, and time zero is the oldest of them.
    void restartFrom(const link::TrafficHistory& history);
    void clear();
    void reset();

    [[nodiscard]] const std::deque<BusEntry>& entries() const { return m_entries; }
    // Sequence number of the first kept entry and one past the last: the view follows these.
    [[nodiscard]] std::uint64_t firstSequence() const { return m_nextSequence - m_entries.size(); }
    [[nodiscard]] std::uint64_t endSequence() const { return m_nextSequence; }
    // Entries dropped from the front since the list was last cleared.
    [[nodiscard]] std::uint64_t dropped() const { return m_dropped; }
    [[nodiscard]] const BusCounters& counters() const { return m_counters; }
    [[nodiscard]] std::size_t capacity() const { return m_capacity; }
    // The wall-clock time of an entry: the wall clock at the start plus the steady time since.
    [[nodiscard]] QDateTime wallClock(const BusEntry& entry) const {
        return m_wallStart.addMSecs(entry.msSinceStart);
    }

private:
    // The transaction in progress, as far as the log has seen it.
    struct Exchange {
        TransactionId id;
        QByteArray request;
        QByteArray reply;
        Clock::time_point sentAt;
        bool open = false;
        bool replyTimed = false;
        bool exceptionCounted = false;
        bool badCrcCounted = false;
    };

    BusEntry& append(BusEntry::Direction direction);
    // The steady clock, or the time of the event being replayed.
    [[nodiscard]] Clock::time_point now() const;
    void countReplyTime(double milliseconds);
    void countBadCrc();

    std::size_t m_capacity;
    Time m_time;
    Clock::time_point m_start;
    QDateTime m_wallStart;
    std::deque<BusEntry> m_entries;
    std::uint64_t m_nextSequence = 0;
    std::uint64_t m_dropped = 0;
    BusCounters m_counters;
    Exchange m_exchange;
    std::optional<Clock::time_point> m_replayedAt;
};

} // namespace climate::monitor

#include "BusLog.h"

#include "FrameMeaning.h"

#include "link/CommEngine.h"
#include "link/Commands.h"

#include <algorithm>
#include <chrono>

namespace climate::monitor {

using namespace climate::link;

namespace {

using Kind = EngineObserver::TransactionId::Kind;

double millisecondsBetween(TransportDetails::Clock::time_point from,
                           TransportDetails::Clock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

QByteArray bytesOf(std::span<const std::uint8_t> bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())};
}

std::span<const std::uint8_t> spanOf(const QByteArray& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()),
            static_cast<std::size_t>(bytes.size())};
}

QString purgeReasonText(EngineObserver::PurgeReason reason) {
    switch (reason) {
    case EngineObserver::PurgeReason::Overflow:
        return QStringLiteral("more than the engine takes at once");
    case EngineObserver::PurgeReason::BeforeReply:
        return QStringLiteral("left over when the request went out");
    case EngineObserver::PurgeReason::AfterReply:
        return QStringLiteral("behind an accepted reply");
    case EngineObserver::PurgeReason::PageEntry:
        return QStringLiteral("another page shown");
    case EngineObserver::PurgeReason::Other:
        break;
    }
    return QStringLiteral("discarded");
}

} // namespace

QString directionText(BusEntry::Direction direction) {
    switch (direction) {
    case BusEntry::Direction::Sent:
        return QStringLiteral("TX");
    case BusEntry::Direction::Received:
        return QStringLiteral("RX");
    case BusEntry::Direction::Purged:
        return QStringLiteral("purge");
    case BusEntry::Direction::Outcome:
        return QStringLiteral("end");
    case BusEntry::Direction::Note:
        break;
    }
    return QStringLiteral("note");
}

QString outcomeText(EngineObserver::Outcome outcome) {
    switch (outcome) {
    case EngineObserver::Outcome::Good:
        return QStringLiteral("good reply");
    case EngineObserver::Outcome::WrongHeader:
        return QStringLiteral("wrong header");
    case EngineObserver::Outcome::BadCrc:
        return QStringLiteral("bad CRC");
    case EngineObserver::Outcome::Timeout:
        return QStringLiteral("time-out");
    case EngineObserver::Outcome::Abandoned:
        break;
    }
    return QStringLiteral("abandoned");
}

QString transactionName(const EngineObserver::TransactionId& id) {
    const CommandRow* row = CommEngine::commandOf(id);
    switch (id.kind) {
    case Kind::Command:
        return row ? QString::fromLatin1(row->name) : QStringLiteral("command %1").arg(id.code);
    case Kind::PollStep:
        if (row) {
            return QStringLiteral("poll %1 (%2)").arg(id.code).arg(QString::fromLatin1(row->name));
        }
        return QStringLiteral("poll %1").arg(id.code);
    case Kind::LiveCommand:
        return row ? QString::fromLatin1(row->name)
                   : QStringLiteral("live command %1").arg(id.code);
    }
    return {};
}

BusLog::BusLog(std::size_t capacity, Time time)
    : m_capacity(std::max<std::size_t>(capacity, 1)), m_time(std::move(time)),
      m_start(m_time.steady()), m_wallStart(m_time.wall()) {}

void BusLog::restart() {
    clear();
    reset();
    m_exchange = {};
    m_start = m_time.steady();
    m_wallStart = m_time.wall();
}

void BusLog::restartFrom(const TrafficHistory& history) {
    restart();
    const std::optional<Clock::time_point> oldest = history.oldest();
    if (!oldest) {
        return;
    }
    m_wallStart = m_wallStart.addMSecs(
        -std::chrono::duration_cast<std::chrono::milliseconds>(m_start - *oldest).count());
    m_start = *oldest;
    history.replay(*this, [this](Clock::time_point at) { m_replayedAt = at; });
    m_replayedAt.reset();
}

BusLog::Clock::time_point BusLog::now() const {
    return m_replayedAt ? *m_replayedAt : m_time.steady();
}

void BusLog::clear() {
    m_entries.clear();
    m_dropped = 0;
}

void BusLog::reset() {
    m_counters = {};
}

BusEntry& BusLog::append(BusEntry::Direction direction) {
    if (m_entries.size() >= m_capacity) {
        m_entries.pop_front();
        ++m_dropped;
    }
    BusEntry& entry = m_entries.emplace_back();
    entry.sequence = m_nextSequence++;
    entry.direction = direction;
    entry.msSinceStart =
        std::chrono::duration_cast<std::chrono::milliseconds>(now() - m_start).count();
    return entry;
}

void BusLog::countReplyTime(double milliseconds) {
    ++m_counters.replyTimes;
    m_counters.replyMsTotal += milliseconds;
    m_counters.replyMsMax = std::max(m_counters.replyMsMax, milliseconds);
}

// A reply with a bad CRC counts once per transaction, whether the engine ends the transaction
// on it or waits for its time-out.
void BusLog::countBadCrc() {
    if (!m_exchange.badCrcCounted) {
        m_exchange.badCrcCounted = true;
        ++m_counters.badCrc;
    }
}

void BusLog::requestSent(const TransactionId& id, std::span<const std::uint8_t> frame) {
    ++m_counters.requests;
    m_exchange = {};
    m_exchange.id = id;
    m_exchange.request = bytesOf(frame);
    m_exchange.sentAt = now();
    m_exchange.open = true;

    BusEntry& entry = append(BusEntry::Direction::Sent);
    entry.bytes = m_exchange.request;
    entry.meaning = transactionName(id) + QStringLiteral(": ") + describeRequest(frame);
}

void BusLog::bytesReceived(const TransactionId& id, std::span<const std::uint8_t> chunk,
                           const TransportDetails& transport) {
    if (!m_exchange.open || !(m_exchange.id == id)) {
        // Bytes read for a transaction whose request the log has not seen (attached mid-way).
        m_exchange = {};
        m_exchange.id = id;
        m_exchange.open = true;
        m_exchange.replyTimed = true;
    }
    m_exchange.reply.append(bytesOf(chunk));

    BusEntry& entry = append(BusEntry::Direction::Received);
    entry.bytes = bytesOf(chunk);
    if (!m_exchange.replyTimed) {
        m_exchange.replyTimed = true;
        const double replyMs =
            transport.firstByte && transport.requestDone
                ? millisecondsBetween(*transport.requestDone, *transport.firstByte)
                : millisecondsBetween(m_exchange.sentAt, now());
        entry.replyMs = std::max(replyMs, 0.0);
        countReplyTime(*entry.replyMs);
    }

    const ReplyMeaning meaning =
        describeReply(spanOf(m_exchange.request), spanOf(m_exchange.reply));
    entry.meaning = meaning.text;
    switch (meaning.form) {
    case ReplyMeaning::Form::Partial:
        break;
    case ReplyMeaning::Form::Reply:
        if (!meaning.crcGood) {
            entry.outcome = QStringLiteral("bad CRC");
            entry.severity = BusEntry::Severity::Error;
            countBadCrc();
        } else if (meaning.otherAddress) {
            entry.outcome = QStringLiteral("other address");
            entry.severity = BusEntry::Severity::Warning;
        }
        break;
    case ReplyMeaning::Form::Exception:
        if (meaning.crcGood) {
            entry.outcome = QStringLiteral("exception %1").arg(meaning.exceptionCode);
            entry.severity = BusEntry::Severity::Warning;
            if (!m_exchange.exceptionCounted) {
                m_exchange.exceptionCounted = true;
                ++m_counters.exceptionReplies;
            }
        } else {
            entry.outcome = QStringLiteral("bad CRC");
            entry.severity = BusEntry::Severity::Error;
            countBadCrc();
        }
        break;
    case ReplyMeaning::Form::Unrecognised:
        entry.outcome = QStringLiteral("unexpected");
        entry.severity = BusEntry::Severity::Warning;
        break;
    }
    if (!transport.framing.empty()) {
        entry.meaning += QStringLiteral(" [framing %1]")
                             .arg(QString::fromLatin1(bytesOf(transport.framing).toHex(' ')));
    }
}

void BusLog::bytesPurged(std::uint32_t count, PurgeReason reason) {
    if (count == 0) {
        return;
    }
    m_counters.bytesPurged += count;
    BusEntry& entry = append(BusEntry::Direction::Purged);
    entry.meaning =
        QStringLiteral("%1 bytes purged unread (%2)").arg(count).arg(purgeReasonText(reason));
    entry.outcome = QStringLiteral("purged");
    entry.severity = BusEntry::Severity::Warning;
}

void BusLog::transactionEnded(const TransactionId& id, Outcome outcome) {
    switch (outcome) {
    case Outcome::Good:
        ++m_counters.goodReplies;
        break;
    case Outcome::WrongHeader:
        ++m_counters.wrongHeader;
        break;
    case Outcome::BadCrc:
        countBadCrc();
        break;
    case Outcome::Timeout:
        ++m_counters.timeouts;
        break;
    case Outcome::Abandoned:
        ++m_counters.abandoned;
        break;
    }
    BusEntry& entry = append(BusEntry::Direction::Outcome);
    entry.meaning = transactionName(id) + QStringLiteral(" ended");
    entry.outcome = outcomeText(outcome);
    if (outcome == Outcome::Timeout && m_exchange.exceptionCounted) {
        entry.outcome += QStringLiteral(" after an exception reply");
    } else if (outcome == Outcome::Timeout && m_exchange.badCrcCounted) {
        entry.outcome += QStringLiteral(" after a bad CRC");
    }
    entry.severity = outcome == Outcome::Good        ? BusEntry::Severity::Normal
                     : outcome == Outcome::Abandoned ? BusEntry::Severity::Warning
                                                     : BusEntry::Severity::Error;
    m_exchange.open = false;
}

void BusLog::addNote(const QString& text, BusEntry::Severity severity) {
    BusEntry& entry = append(BusEntry::Direction::Note);
    entry.meaning = text;
    entry.severity = severity;
}

} // namespace climate::monitor

#include "TrafficHistory.h"

#include <algorithm>

namespace climate::link {

TrafficHistory::TrafficHistory(std::size_t capacity, std::function<Clock::time_point()> clock)
    : m_clock(std::move(clock)), m_capacity(std::max<std::size_t>(capacity, 1)) {}

TrafficHistory::Event& TrafficHistory::next(Event::Kind kind, const TransactionId& id) {
    std::size_t index = 0;
    if (m_size < m_capacity) {
        index = (m_first + m_size) % m_capacity;
        if (index == m_events.size()) {
            m_events.emplace_back(); // the ring grows to its capacity as events come
        }
        ++m_size;
    } else {
        index = m_first;
        m_first = (m_first + 1) % m_capacity;
    }
    Event& event = m_events[index];
    event.kind = kind;
    event.id = id;
    event.at = m_clock();
    return event;
}

void TrafficHistory::requestSent(const TransactionId& id, std::span<const std::uint8_t> frame) {
    Event& event = next(Event::Kind::Request, id);
    event.bytes.assign(frame.begin(), frame.end());
}

void TrafficHistory::bytesReceived(const TransactionId& id, std::span<const std::uint8_t> chunk,
                                   const TransportDetails& transport) {
    Event& event = next(Event::Kind::Received, id);
    event.bytes.assign(chunk.begin(), chunk.end());
    event.framing.assign(transport.framing.begin(), transport.framing.end());
    event.firstByte = transport.firstByte;
    event.requestDone = transport.requestDone;
}

void TrafficHistory::bytesPurged(std::uint32_t count, PurgeReason reason) {
    Event& event = next(Event::Kind::Purged, {});
    event.count = count;
    event.reason = reason;
}

void TrafficHistory::transactionEnded(const TransactionId& id, Outcome outcome) {
    Event& event = next(Event::Kind::Ended, id);
    event.outcome = outcome;
}

std::optional<TrafficHistory::Clock::time_point> TrafficHistory::oldest() const {
    if (m_size == 0) {
        return std::nullopt;
    }
    return m_events[m_first].at;
}

void TrafficHistory::clear() {
    m_first = 0;
    m_size = 0;
}

void TrafficHistory::replay(EngineObserver& observer,
                            const std::function<void(Clock::time_point)>& at) const {
    for (std::size_t n = 0; n < m_size; ++n) {
        const Event& event = m_events[(m_first + n) % m_capacity];
        if (at) {
            at(event.at);
        }
        switch (event.kind) {
        case Event::Kind::Request:
            observer.requestSent(event.id, event.bytes);
            break;
        case Event::Kind::Received:
            observer.bytesReceived(event.id, event.bytes,
                                   TransportDetails{.firstByte = event.firstByte,
                                                    .requestDone = event.requestDone,
                                                    .framing = event.framing});
            break;
        case Event::Kind::Purged:
            observer.bytesPurged(event.count, event.reason);
            break;
        case Event::Kind::Ended:
            observer.transactionEnded(event.id, event.outcome);
            break;
        }
    }
}

} // namespace climate::link

#pragma once

#include "EngineObserver.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace climate::link {

// The engine's last events, kept as they came, for an observer that attaches later: the bus
// monitor opened after a failure still shows what led to it. Keeping an event costs a time stamp
// and a copy of its bytes into a slot of a fixed ring; nothing is decoded until it is replayed.
class TrafficHistory : public EngineObserver {
public:
    using Clock = TransportDetails::Clock;
    static constexpr std::size_t DefaultCapacity = 1000;

    explicit TrafficHistory(std::size_t capacity = DefaultCapacity,
                            std::function<Clock::time_point()> clock = &Clock::now);

    void requestSent(const TransactionId& id, std::span<const std::uint8_t> frame) override;
    void bytesReceived(const TransactionId& id, std::span<const std::uint8_t> chunk,
                       const TransportDetails& transport) override;
    void bytesPurged(std::uint32_t count, PurgeReason reason) override;
    void transactionEnded(const TransactionId& id, Outcome outcome) override;

    [[nodiscard]] std::size_t size() const { return m_size; }
    [[nodiscard]] std::size_t capacity() const { return m_capacity; }
    [[nodiscard]] bool empty() const { return m_size == 0; }
    // When the oldest kept event happened; none while nothing is kept.
    [[nodiscard]] std::optional<Clock::time_point> oldest() const;
    void clear();

    // Hands the kept events to `observer`, oldest first, as the engine reported them. Before each
    // one `at` learns when it happened.
    void replay(EngineObserver& observer,
                const std::function<void(Clock::time_point)>& at = {}) const;

private:
    struct Event {
        enum class Kind : std::uint8_t { Request, Received, Purged, Ended };
        Kind kind = Kind::Request;
        TransactionId id;
        Clock::time_point at;
        std::vector<std::uint8_t> bytes;   // request or chunk
        std::vector<std::uint8_t> framing; // the transport's framing of a chunk
        std::optional<Clock::time_point> firstByte;
        std::optional<Clock::time_point> requestDone;
        std::uint32_t count = 0; // bytes purged
        PurgeReason reason = PurgeReason::Other;
        Outcome outcome = Outcome::Good;
    };

    // The slot of the next event, which overwrites the oldest once the ring is full.
    Event& next(Event::Kind kind, const TransactionId& id);

    std::function<Clock::time_point()> m_clock;
    // Slots are added as events come, up to the capacity: an idle window holds no empty ring.
    std::vector<Event> m_events;
    std::size_t m_capacity = 1;
    std::size_t m_first = 0; // index of the oldest event
    std::size_t m_size = 0;
};

} // namespace climate::link

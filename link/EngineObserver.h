#pragma once

#include "TransactionOutcome.h"
#include "TransportDetails.h"

#include <cstdint>
#include <span>

namespace climate::link {

// What the communication engine reports of its traffic to one attached observer (the bus
// monitor). The calls come from inside the engine's tick: an observer returns quickly, keeps
// nothing of the spans beyond the call and never calls back into the engine. With no observer
// attached the engine does none of the work the calls need.
class EngineObserver {
public:
    // Which transaction an event belongs to: the page whose cycle runs it, and its place there.
    struct TransactionId {
        enum class Kind : std::uint8_t { Command, PollStep, LiveCommand };
        std::uint8_t page = 0; // 0 Configuration, 1 RealTimeData, 2 Declaration
        Kind kind = Kind::Command;
        std::uint8_t code = 0; // command code, poll step or live command
        bool operator==(const TransactionId&) const = default;
    };

    // How the engine judged the end of a transaction, as its poster learns it.
    using Outcome = TransactionOutcome;

    // Why received bytes were thrown away unread.
    enum class PurgeReason : std::uint8_t {
        Overflow,    // more than the engine's threshold waiting
        BeforeReply, // left over when a request went out
        AfterReply,  // behind an accepted reply
        PageEntry,   // the first tick on a newly shown page
        Other,
    };

    virtual ~EngineObserver() = default;

    virtual void requestSent(const TransactionId& id, std::span<const std::uint8_t> frame) = 0;
    // One chunk as the engine read it from the port, with what the port layer saw of it.
    virtual void bytesReceived(const TransactionId& id, std::span<const std::uint8_t> chunk,
                               const TransportDetails& transport) = 0;
    // `count` bytes were waiting when the engine purged the input; called only when count > 0.
    virtual void bytesPurged(std::uint32_t count, PurgeReason reason) = 0;
    virtual void transactionEnded(const TransactionId& id, Outcome outcome) = 0;
};

} // namespace climate::link

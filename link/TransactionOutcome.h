#pragma once

#include <cstdint>

namespace climate::link {

// How a transaction of the engine (a posted command, a live command, a poll step) ended.
enum class TransactionOutcome : std::uint8_t {
    Good,        // a complete reply with the right header and CRC
    WrongHeader, // a reply from another address or for another function
    BadCrc,      // a complete reply whose CRC does not match, where that ends the transaction
    Timeout,     // no acceptable reply within the receive ticks
    Abandoned,   // dropped unsent or unanswered: page switch, pre-empted, nothing registered
};

[[nodiscard]] constexpr const char* toString(TransactionOutcome outcome) {
    switch (outcome) {
    case TransactionOutcome::Good:
        return "Good";
    case TransactionOutcome::WrongHeader:
        return "WrongHeader";
    case TransactionOutcome::BadCrc:
        return "BadCrc";
    case TransactionOutcome::Timeout:
        return "Timeout";
    case TransactionOutcome::Abandoned:
        return "Abandoned";
    }
    return "?";
}

} // namespace climate::link

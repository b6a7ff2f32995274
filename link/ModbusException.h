#pragma once

#include "EngineObserver.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace climate::link {

// The name Modbus gives an exception code: "illegal function" for 1, "illegal data address" for
// 2, and so on; "unknown exception" for codes Modbus does not define.
[[nodiscard]] QString exceptionName(std::uint8_t code);

// How a person is told that the controller refused a request:
// "refused by the controller: exception 2 (illegal data address)".
[[nodiscard]] QString refusalText(std::uint8_t code);

// Watches the engine's traffic for the one thing the engine does not take as a reply: an exception
// reply. Such a reply is shorter than the one the engine waits for, so the engine ends the
// transaction with a time-out; whoever reports that end asks here whether the controller refused
// instead. Keeps the first bytes received after the last request, nothing more.
class ExceptionWatch : public EngineObserver {
public:
    void requestSent(const TransactionId& id, std::span<const std::uint8_t> frame) override;
    void bytesReceived(const TransactionId& id, std::span<const std::uint8_t> chunk,
                       const TransportDetails& transport) override;
    void bytesPurged(std::uint32_t count, PurgeReason reason) override;
    void transactionEnded(const TransactionId& id, Outcome outcome) override;

    // The code of the exception reply that answered the last request, if that is what came: from
    // the request's address, for its function, with a good CRC.
    [[nodiscard]] std::optional<std::uint8_t> lastException() const;

private:
    static constexpr std::size_t ExceptionLength = 5; // address, function | 0x80, code, CRC

    std::uint8_t m_address = 0;
    std::uint8_t m_function = 0;
    std::array<std::uint8_t, ExceptionLength> m_reply{};
    std::size_t m_replyLength = 0;
};

} // namespace climate::link

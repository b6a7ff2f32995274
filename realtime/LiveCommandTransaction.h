#pragma once

#include "link/Transaction.h"
#include "link/UserMessage.h"

#include <cstdint>

namespace climate::realtime {

// A one-shot write of the RealTimeData page (debug temperature, forced output): one 8-byte write
// whose reply echoes the value. It pre-empts the polling circle and restarts it at step 0 when it
// ends. Unlike the poll steps it reports every outcome in a box.
//
// The boxes do not block, so the ticks that run while one is open must find a consistent state:
// a failed command resets all command state before its box; an accepted one ends only the live
// command (so polling goes on meanwhile) and restarts the circle once the box is closed. The close
// steps run only while this transaction is still registered with the engine.
class LiveCommandTransaction : public link::ShapedTransaction {
public:
    explicit LiveCommandTransaction(const link::RequestShape& shape)
        : link::ShapedTransaction(shape, link::PollTransaction::SendIntervalMs) {}
    ~LiveCommandTransaction() override = default;
    LiveCommandTransaction(const LiveCommandTransaction&) = delete;
    LiveCommandTransaction& operator=(const LiveCommandTransaction&) = delete;

    // The write of `value()` to the shape's coil or register.
    [[nodiscard]] link::ModbusFrame request(std::uint8_t deviceAddress) const override;

    void onGood(link::TransactionContext& context, std::span<const std::uint8_t> reply) override;
    void onWrongHeader(link::TransactionContext& context) override;
    // A bad CRC is ignored: the command ends by its time-out.
    void onTimeout(link::TransactionContext& context) override;

protected:
    // The value written (and expected back in the echo).
    [[nodiscard]] virtual std::uint16_t value() const = 0;
    // The box for a time-out or a reply from another address or for another function.
    [[nodiscard]] virtual link::UserMessage failureMessage() const = 0;
    // Takes the echo of an accepted reply (any display it causes happens here, before the box) and
    // returns the box to show.
    virtual link::UserMessage acceptEcho(std::uint16_t echo) = 0;
    // Runs once the box of a reply (accepted or wrong header) has been closed.
    virtual void afterReplyBoxClosed() {}
};

} // namespace climate::realtime

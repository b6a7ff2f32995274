#pragma once

#include "ModbusFrame.h"
#include "UserMessage.h"

#include <cstdint>
#include <functional>
#include <span>

namespace climate::link {

// What a transaction may do to the engine while it handles an outcome of its exchange, and in the
// close step of a box it raised. Every operation is named for what it means; the engine's state
// is not reachable from here.
class TransactionContext {
public:
    // The address requests go to (0 ... 255).
    [[nodiscard]] virtual std::uint8_t deviceAddress() const = 0;
    // A live command is posted (and not yet ended).
    [[nodiscard]] virtual bool liveCommandPosted() const = 0;

    // The link counts as alive for the full reload of 40 Timer1 ticks; the link bar moves on.
    virtual void MarkLinkAlive() = 0;
    // The link counts as alive for `ticks` Timer1 ticks from now; the link bar stays.
    virtual void keepLinkAliveFor(std::uint8_t ticks) = 0;
    // Discards received input.
    virtual void purgeInput() = 0;
    // The posted command has ended: nothing is pending any more.
    virtual void endCommand() = 0;
    // The live command has ended; polling goes on where it was.
    virtual void endLiveCommand() = 0;
    // Polling moves on to the next step (0 -> 1 -> 2 -> 3 -> 0), which sends next.
    virtual void nextPollStep() = 0;
    // Ends the live command (if any) and starts the polling circle again at step 0.
    virtual void restartPolling() = 0;
    // The next tick sends, whatever the page.
    virtual void readyToSend() = 0;
    // Requests go to `address` from now on.
    virtual void switchDeviceAddress(std::uint32_t address) = 0;

    // Shows a box. `onClosed` runs once the user has closed it, and only while the transaction
    // that raised it is still registered with the engine (it gets the engine's context then).
    virtual void showMessage(const UserMessage& message,
                             std::function<void(TransactionContext&)> onClosed = {}) = 0;

protected:
    ~TransactionContext() = default;
};

// One kind of request/reply exchange. The engine runs the cycle (send tick, receive ticks,
// time-out after 100 receive ticks, reply check); the transaction builds its request and decides
// what each outcome means.
class Transaction {
public:
    virtual ~Transaction() = default;

    [[nodiscard]] virtual ModbusFrame request(std::uint8_t deviceAddress) const = 0;
    [[nodiscard]] virtual std::uint8_t function() const = 0;
    [[nodiscard]] virtual std::uint32_t replyLength() const = 0;
    // First wait after the request, before the 10 ms receive ticks start.
    [[nodiscard]] virtual int sendIntervalMs() const = 0;

    // `reply` is the accepted reply (at least replyLength() bytes, header and CRC checked).
    virtual void onGood(TransactionContext& context, std::span<const std::uint8_t> reply) = 0;
    virtual void onWrongHeader(TransactionContext& context) = 0;
    // Default: the reply is ignored and the transaction ends by its time-out.
    virtual void onBadCrc(TransactionContext& context);
    virtual void onTimeout(TransactionContext& context) = 0;
};

// A transaction of one fixed request shape: function, reply length and first wait come from it,
// and the request is the read of that shape unless a kind builds its own.
class ShapedTransaction : public Transaction {
public:
    ShapedTransaction(const RequestShape& shape, int sendIntervalMs)
        : m_shape(shape), m_sendIntervalMs(sendIntervalMs) {}

    [[nodiscard]] ModbusFrame request(std::uint8_t deviceAddress) const override;
    [[nodiscard]] std::uint8_t function() const override { return m_shape.function; }
    [[nodiscard]] std::uint32_t replyLength() const override { return m_shape.replyLength; }
    [[nodiscard]] int sendIntervalMs() const override { return m_sendIntervalMs; }

protected:
    [[nodiscard]] const RequestShape& shape() const { return m_shape; }

private:
    RequestShape m_shape;
    int m_sendIntervalMs;
};

// A posted command of the Configuration or Declaration page. A rejected or unanswered command ends
// silently; only the Internal Fan, External Fan and Heater writes count a wrong-header reply as a
// sign of life.
class CommandTransaction : public ShapedTransaction {
public:
    CommandTransaction(const RequestShape& shape, int sendIntervalMs,
                       bool wrongHeaderIsSignOfLife = false)
        : ShapedTransaction(shape, sendIntervalMs),
          m_wrongHeaderIsSignOfLife(wrongHeaderIsSignOfLife) {}

    void onWrongHeader(TransactionContext& context) override;
    void onTimeout(TransactionContext& context) override;

private:
    bool m_wrongHeaderIsSignOfLife;
};

// One step of the RealTimeData polling circle. Good: decode() and show, purge, next step, then
// afterDecode() and MarkLinkAlive. Wrong header: MarkLinkAlive, next step. Time-out: next step.
// Bad CRC: waits for the time-out unless moveOnAtBadCrc.
class PollTransaction : public ShapedTransaction {
public:
    static constexpr int SendIntervalMs = 300;

    explicit PollTransaction(const RequestShape& shape, bool moveOnAtBadCrc = false)
        : ShapedTransaction(shape, SendIntervalMs), m_moveOnAtBadCrc(moveOnAtBadCrc) {}

    void onGood(TransactionContext& context, std::span<const std::uint8_t> reply) override;
    void onWrongHeader(TransactionContext& context) override;
    void onBadCrc(TransactionContext& context) override;
    void onTimeout(TransactionContext& context) override;

protected:
    // Decodes the accepted reply and shows it.
    virtual void decode(std::span<const std::uint8_t> reply) = 0;
    // Runs after the step has moved on and before MarkLinkAlive (the test-log row).
    virtual void afterDecode() {}

private:
    bool m_moveOnAtBadCrc;
};

} // namespace climate::link

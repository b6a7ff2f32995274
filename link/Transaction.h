#pragma once

#include "ModbusFrame.h"

#include <cstdint>

class CommEngine;
struct EngineState;

// One kind of request/reply exchange. The engine runs the cycle (send tick, receive ticks,
// time-out after 100 receive ticks, reply check); the transaction builds its request and decides
// what each outcome means.
class Transaction {
public:
    virtual ~Transaction() = default;

    [[nodiscard]] virtual ModbusFrame request(const EngineState& state) const = 0;
    [[nodiscard]] virtual std::uint8_t function() const = 0;
    [[nodiscard]] virtual std::uint32_t replyLength() const = 0;
    // First wait after the request, before the 10 ms receive ticks start.
    [[nodiscard]] virtual int sendIntervalMs() const = 0;

    virtual void onGood(CommEngine& engine) = 0;
    virtual void onWrongHeader(CommEngine& engine) = 0;
    // Default: the reply is ignored and the transaction ends by its time-out.
    virtual void onBadCrc(CommEngine& engine);
    virtual void onTimeout(CommEngine& engine) = 0;
};

// A transaction of one fixed request shape: function, reply length and first wait come from it,
// and the request is the read of that shape unless a kind builds its own.
class ShapedTransaction : public Transaction {
public:
    ShapedTransaction(const RequestShape& shape, int sendIntervalMs)
        : m_shape(shape), m_sendIntervalMs(sendIntervalMs) {}

    [[nodiscard]] ModbusFrame request(const EngineState& state) const override;
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

    void onWrongHeader(CommEngine& engine) override;
    void onTimeout(CommEngine& engine) override;

private:
    bool m_wrongHeaderIsSignOfLife;
};

// One step of the RealTimeData polling circle. Good: decode() and show, purge, next step, then
// MarkLinkAlive. Wrong header: MarkLinkAlive, next step. Time-out: next step. Bad CRC: waits for
// the time-out unless moveOnAtBadCrc.
class PollTransaction : public ShapedTransaction {
public:
    static constexpr int SendIntervalMs = 300;

    explicit PollTransaction(const RequestShape& shape, bool moveOnAtBadCrc = false)
        : ShapedTransaction(shape, SendIntervalMs), m_moveOnAtBadCrc(moveOnAtBadCrc) {}

    void onGood(CommEngine& engine) override;
    void onWrongHeader(CommEngine& engine) override;
    void onBadCrc(CommEngine& engine) override;
    void onTimeout(CommEngine& engine) override;

protected:
    // Decodes the accepted reply (engine.state().reply()) and shows it.
    virtual void decode(CommEngine& engine) = 0;
    // Runs after the step has moved on and before MarkLinkAlive (the test-log row).
    virtual void afterDecode(CommEngine& /*engine*/) {}

private:
    bool m_moveOnAtBadCrc;
};

#pragma once

#include "CheckReply.h"
#include "EngineObserver.h"
#include "EngineState.h"
#include "UserMessage.h"

#include <array>
#include <cstdint>
#include <functional>

class EngineWindow;
class SerialPort;
class Transaction;

// The communication engine: one small step of one Modbus transaction per tick of the 10 ms
// engine timer, chosen by the visible page. It never waits: reads take only bytes already
// received, and replies are awaited by lengthening the timer's interval.
class CommEngine {
public:
    static constexpr std::uint32_t PurgeThreshold = 1024;
    static constexpr std::int32_t TimeoutTicks = 100;
    static constexpr int ReceiveIntervalMs = 10;
    static constexpr std::uint8_t LinkAliveReload = 40;

    CommEngine(SerialPort& port, EngineWindow& window);
    CommEngine(const CommEngine&) = delete;
    CommEngine& operator=(const CommEngine&) = delete;

    // One tick of the engine timer.
    void tick();

    // The one observer of the engine's traffic (not owned); nullptr detaches it. With none
    // attached the engine does nothing extra.
    void setObserver(EngineObserver* observer) { m_observer = observer; }

    [[nodiscard]] EngineState& state() { return m_state; }
    [[nodiscard]] const EngineState& state() const { return m_state; }
    [[nodiscard]] SerialPort& port() { return m_port; }
    [[nodiscard]] EngineWindow& window() { return m_window; }

    // Transactions plug in here (not owned). Codes: Configuration 0 ... 11, Declaration 1 and 2,
    // poll steps 0 ... 3, live commands 1 and 2.
    void setConfigurationCommand(std::uint8_t code, Transaction* transaction);
    void setDeclarationCommand(std::uint8_t code, Transaction* transaction);
    void setPollStep(std::uint8_t step, Transaction* transaction);
    void setLiveCommand(std::uint8_t code, Transaction* transaction);

    // Posting contract of the button handlers (port and busy checks are the handler's).
    void postCommand(std::uint8_t code);
    void postLiveCommand(std::uint8_t code);

    // Services for the transactions.
    void MarkLinkAlive();  // LinkAliveTicks = 40, link bar + 1
    void purgeInput();     // discards received input
    void endCommand();     // PendingCommand = 20, CommandBusy = 0
    void nextPollStep();   // PollStep 0 -> 1 -> 2 -> 3 -> 0, SendPending = 1
    void restartPolling(); // LiveCommand = 0, PollStep = 0, SendPending = 1
    void showMessage(const UserMessage& message, std::function<void()> onClosed = {});

private:
    void tickConfiguration();
    void tickRealTimeData();
    void tickDeclaration();
    using TransactionId = EngineObserver::TransactionId;
    void runTransaction(Transaction& transaction, const TransactionId& id);
    void sendTick(Transaction& transaction, const TransactionId& id);
    void receiveTick(Transaction& transaction);
    // Purges the input; an observer learns how many bytes that threw away.
    void purge(EngineObserver::PurgeReason reason);
    // Tells the observer how the transaction in flight ended, if it has ended: a command once it
    // is no longer busy, a poll step or live command once the next request is due.
    void reportIfEnded(ReplyStatus lastCheck, bool timedOut);
    // A transaction in flight that a page switch or another request cut short.
    void reportAbandoned();
    // Appends up to `count` waiting bytes to RxFrame; bytes beyond its capacity are dropped.
    void collect(std::uint32_t count);

    SerialPort& m_port;
    EngineWindow& m_window;
    EngineState m_state;
    EngineObserver* m_observer = nullptr;
    // The transaction whose request went out last, until it ends (kept for the observer only).
    TransactionId m_inFlightId;
    bool m_inFlight = false;
    std::array<Transaction*, 12> m_configuration{};
    std::array<Transaction*, 3> m_declaration{};
    std::array<Transaction*, 4> m_pollSteps{};
    std::array<Transaction*, 3> m_liveCommands{};
};

#pragma once

#include "Commands.h"
#include "EngineObserver.h"
#include "EngineState.h"
#include "TransactionOutcome.h"
#include "UserMessage.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

class EngineStaging; // tests/support: stages engine states for tests

namespace climate::link {

class LinkState;
class SerialPort;
class Transaction;

// The communication engine: one small step of one Modbus transaction per tick of the 10 ms
// engine timer, chosen by the page its host shows. It never waits: reads take only bytes already
// received, and replies are awaited by lengthening the timer's interval, which the host applies
// to its timer after each tick (timerIntervalMs()). It knows no window: its host gives it the
// visible page on each tick and shows its message boxes; received replies move the link bar of
// the link-state model on.
//
// Features register their transactions in the engine's tables (each registration is a handle
// that unregisters when destroyed), post commands, and read the state; they change it only
// through the operations below.
class CommEngine {
public:
    static constexpr std::uint32_t PurgeThreshold = 1024;
    static constexpr std::int32_t TimeoutTicks = 100;
    static constexpr int ReceiveIntervalMs = 10;
    static constexpr std::uint8_t LinkAliveReload = 40;
    // What a Read All, a firmware read, a fan-curve read, most group writes and an accepted live
    // command leave on the link counter: fewer ticks than a poll reply's full reload.
    static constexpr std::uint8_t ShortLinkAlive = 30;

    // The engine's tables of transactions, by the code that selects one; the codes and their
    // places are those of the commands' tables (Commands.h).
    enum class Table : std::uint8_t {
        ConfigurationCommand, // PendingCommand on the Configuration page (ConfigurationCommands)
        DeclarationCommand,   // PendingCommand on the Declaration page (DeclarationCommands)
        PollStep,             // PollStep on the RealTimeData page (PollStepCommands)
        LiveCommand,          // LiveCommand on the RealTimeData page (LiveCommands)
    };

    // Runs once when a posted command or live command has ended, with how it ended. It may post
    // the next command at once: that one is sent on the next tick.
    using OnEnded = std::function<void(TransactionOutcome)>;

    // A transaction's place in a table. Move-only; the place is freed when the handle is
    // destroyed or reset. A handle must not outlive its engine.
    class Registration {
    public:
        Registration() = default;
        Registration(Registration&& other) noexcept;
        Registration& operator=(Registration&& other) noexcept;
        Registration(const Registration&) = delete;
        Registration& operator=(const Registration&) = delete;
        ~Registration() { reset(); }

        void reset();
        [[nodiscard]] bool active() const { return m_engine != nullptr; }

    private:
        friend class CommEngine;
        Registration(CommEngine& engine, Table table, std::uint8_t code)
            : m_engine(&engine), m_table(table), m_code(code) {}

        CommEngine* m_engine = nullptr;
        Table m_table = Table::ConfigurationCommand;
        std::uint8_t m_code = 0;
    };

    // `messages` shows the engine's boxes; `link` is told of every received reply.
    CommEngine(SerialPort& port, MessagePresenter& messages, LinkState& link);
    ~CommEngine();
    CommEngine(const CommEngine&) = delete;
    CommEngine& operator=(const CommEngine&) = delete;

    // One tick of the engine timer, with the index of the page the page control shows. Only the
    // page seen at a tick counts: a switch there and back between two ticks changes nothing.
    void tick(int visiblePage);
    // The interval the engine timer should run at: the wait for a reply after a send, the receive
    // interval while collecting one. The host applies it after every tick; a value equal to the
    // one in force must not restart the countdown.
    [[nodiscard]] int timerIntervalMs() const { return m_timerIntervalMs; }

    [[nodiscard]] const EngineState& state() const { return m_state; }

    // Observers of the engine's traffic (not owned; each is removed before it goes). Every one
    // learns every event, in the order they were added. With none attached the engine does
    // nothing extra. Adding one twice, or removing one that is not there, is a logic error.
    void addObserver(EngineObserver& observer);
    void removeObserver(EngineObserver& observer);
    [[nodiscard]] LinkState& linkState() { return m_link; }

    // Puts `transaction` (not owned; it must outlive the handle) at `code` of `table`. A code
    // outside the table, or one already taken, is a logic error.
    [[nodiscard]] Registration registerTransaction(Table table, std::uint8_t code,
                                                   Transaction& transaction);

    // Posting contract of the button handlers (port and busy checks are the handler's). A code
    // outside the Configuration table, or a live command outside its table, is a logic error. A
    // command or live command still posted is pre-empted (ends Abandoned).
    void postCommand(std::uint8_t code, OnEnded onEnded = {});
    void postLiveCommand(std::uint8_t code, OnEnded onEnded = {});

    // The commands of a table, and the row of an observed transaction (nullptr for a code no
    // table has).
    [[nodiscard]] static std::span<const CommandRow> commandsOf(Table table);
    [[nodiscard]] static const CommandRow* commandOf(const EngineObserver::TransactionId& id);

    // The link counts as alive for the full reload; the link bar moves on.
    void MarkLinkAlive();
    // The link counts as alive for `ticks` Timer1 ticks; the link bar stays.
    void keepLinkAliveFor(std::uint8_t ticks);
    // One Timer1 tick of the link counter: false when the link already counts as lost,
    // otherwise counts one tick down and returns true.
    bool countDownLinkAlive();
    // Requests go to `address` from now on (0 ... 255).
    void switchDeviceAddress(std::uint32_t address);
    void showMessage(const UserMessage& message, std::function<void()> onClosed = {});

private:
    friend class ::EngineStaging; // tests stage engine states through it

    class Context;
    struct Slot {
        Transaction* transaction = nullptr;
        // Lives as long as the registration; guards the close steps of the boxes it raised.
        std::shared_ptr<const bool> alive;
    };

    [[nodiscard]] Slot* slot(Table table, std::uint8_t code);
    void remove(Table table, std::uint8_t code);

    void tickConfiguration();
    void tickRealTimeData();
    void tickDeclaration();
    // The first tick after another page's cycle ran: rare, kept out of the ticks' way.
    [[gnu::cold]] void enterConfigurationPage();
    [[gnu::cold]] void enterRealTimeDataPage();
    [[gnu::cold]] void enterDeclarationPage();
    // `place` holds the transaction, chosen once per tick by the page's cycle.
    void runTransaction(Table table, std::uint8_t code, const Slot& place);
    void sendTick(Table table, std::uint8_t code, Transaction& transaction);
    void receiveTick(Table table, std::uint8_t code, const Slot& place);
    // Appends up to `count` waiting bytes to RxFrame; bytes beyond its capacity are dropped.
    // An observer learns the bytes as the reply of `code` in `table`.
    void collect(std::uint32_t count, Table table, std::uint8_t code);
    // Purges the input; an observer first learns how many bytes that throws away.
    void purge(EngineObserver::PurgeReason reason);
    void reportPurge(EngineObserver::PurgeReason reason);
    [[nodiscard]] static EngineObserver::TransactionId observedId(Table table, std::uint8_t code);

    // The operations of the transactions' context.
    void endCommand();
    void endLiveCommand();
    void nextPollStep();
    void restartPolling();
    void abandonPollStepInFlight();
    // How the exchange being handled ended; Abandoned outside a reply's handling.
    [[nodiscard]] TransactionOutcome outcomeNow() const;

    // The table the posted command runs from: the Declaration page's while that page is shown.
    [[nodiscard]] Table commandTable() const;
    // The posted command's completion callback, taken from the engine, for the command ending as a
    // transaction of `endsIn`. Codes 1 and 2 mean other transactions on the Declaration page than
    // on the Configuration page; a command that ends as the other page's transaction is not the
    // one its poster asked for, so the poster learns Abandoned (the observer still learns how the
    // transaction that did run ended).
    [[nodiscard]] OnEnded takeCommandPoster(Table endsIn);
    // The one place every transaction's end passes through, once the engine's state is final:
    // `ended` is the poster's completion callback (none for poll steps). An observer of the
    // engine's exchanges belongs here.
    void settle(Table table, std::uint8_t code, TransactionOutcome outcome, OnEnded ended);

    SerialPort& m_port;
    MessagePresenter& m_messages;
    LinkState& m_link;
    int m_timerIntervalMs = ReceiveIntervalMs;
    EngineState m_state;
    std::array<Slot, codeCount(ConfigurationCommands)> m_configuration{};
    std::array<Slot, codeCount(DeclarationCommands)> m_declaration{};
    std::array<Slot, codeCount(PollStepCommands)> m_pollSteps{};
    std::array<Slot, codeCount(LiveCommands)> m_liveCommands{};
    OnEnded m_commandEnded;
    // The table of the page the command was posted on.
    Table m_commandPostedIn = Table::ConfigurationCommand;
    OnEnded m_liveCommandEnded;
    std::optional<std::uint8_t> m_pollStepInFlight;
    std::optional<TransactionOutcome> m_handling;
    // Calls `report` on each observer.
    template <typename Report> void notify(Report report) {
        for (EngineObserver* observer : m_observers) {
            report(*observer);
        }
    }

    std::vector<EngineObserver*> m_observers;
};

} // namespace climate::link

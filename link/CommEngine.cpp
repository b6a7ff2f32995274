#include "CommEngine.h"

#include "CheckReply.h"
#include "Invariant.h"
#include "LinkState.h"
#include "Page.h"
#include "SerialPort.h"
#include "Transaction.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

namespace climate::link {

// The context a transaction gets: the engine's operations, and the registration of the
// transaction being handled, whose lifetime guards the close steps of the boxes it raises.
class CommEngine::Context final : public TransactionContext {
public:
    // During a handler: the raiser's registration as it stands in the table.
    Context(CommEngine& engine, const std::shared_ptr<const bool>& registered)
        : m_engine(engine), m_registered(&registered) {}
    // In a close step: the raiser's registration, known to be alive.
    Context(CommEngine& engine, std::weak_ptr<const bool> raiser)
        : m_engine(engine), m_raiser(std::move(raiser)) {}

    [[nodiscard]] std::uint8_t deviceAddress() const override {
        return static_cast<std::uint8_t>(m_engine.m_state.DeviceAddress);
    }
    [[nodiscard]] bool liveCommandPosted() const override {
        return m_engine.m_state.LiveCommand != 0;
    }
    void MarkLinkAlive() override { m_engine.MarkLinkAlive(); }
    void keepLinkAliveFor(std::uint8_t ticks) override { m_engine.keepLinkAliveFor(ticks); }
    void purgeInput() override { m_engine.purge(EngineObserver::PurgeReason::AfterReply); }
    void endCommand() override { m_engine.endCommand(); }
    void endLiveCommand() override { m_engine.endLiveCommand(); }
    void nextPollStep() override { m_engine.nextPollStep(); }
    void restartPolling() override { m_engine.restartPolling(); }
    void readyToSend() override { m_engine.m_state.SendPending = true; }
    void switchDeviceAddress(std::uint32_t address) override {
        m_engine.switchDeviceAddress(address);
    }

    void showMessage(const UserMessage& message,
                     std::function<void(TransactionContext&)> onClosed) override {
        if (!onClosed) {
            m_engine.m_messages.show(message);
            return;
        }
        // While the raiser's registration lives, so does the engine that holds it.
        std::weak_ptr<const bool> raiser =
            m_registered != nullptr ? std::weak_ptr<const bool>(*m_registered) : m_raiser;
        m_engine.m_messages.show(message, [&engine = m_engine, raiser = std::move(raiser),
                                           onClosed = std::move(onClosed)] {
            if (raiser.expired()) {
                return;
            }
            Context context(engine, raiser);
            onClosed(context);
        });
    }

private:
    CommEngine& m_engine;
    const std::shared_ptr<const bool>* m_registered = nullptr;
    std::weak_ptr<const bool> m_raiser;
};

CommEngine::Registration::Registration(Registration&& other) noexcept
    : m_engine(std::exchange(other.m_engine, nullptr)), m_table(other.m_table),
      m_code(other.m_code) {}

CommEngine::Registration& CommEngine::Registration::operator=(Registration&& other) noexcept {
    if (this != &other) {
        reset();
        m_engine = std::exchange(other.m_engine, nullptr);
        m_table = other.m_table;
        m_code = other.m_code;
    }
    return *this;
}

void CommEngine::Registration::reset() {
    if (CommEngine* engine = std::exchange(m_engine, nullptr)) {
        engine->remove(m_table, m_code);
    }
}

CommEngine::CommEngine(SerialPort& port, MessagePresenter& messages, LinkState& link)
    : m_port(port), m_messages(messages), m_link(link) {}

void CommEngine::addObserver(EngineObserver& observer) {
    if (std::ranges::find(m_observers, &observer) != m_observers.end()) {
        throw std::logic_error("engine observer added twice");
    }
    m_observers.push_back(&observer);
}

void CommEngine::removeObserver(EngineObserver& observer) {
    const auto place = std::ranges::find(m_observers, &observer);
    if (place == m_observers.end()) {
        throw std::logic_error("engine observer removed but not added");
    }
    m_observers.erase(place);
}

inline void CommEngine::purge(EngineObserver::PurgeReason reason) {
    if (!m_observers.empty()) {
        reportPurge(reason);
    }
    m_port.purgeInput();
}

CommEngine::~CommEngine() = default;

namespace {

// The place of `code` in a table whose codes start at `first`; nullptr outside it.
template <typename Slots> auto* placeIn(Slots& places, std::uint8_t code, std::uint8_t first = 0) {
    return code >= first && code < places.size() ? &places[code] : nullptr;
}

} // namespace

inline CommEngine::Slot* CommEngine::slot(Table which, std::uint8_t code) {
    // Declaration and live commands count from 1, as their tables say.
    switch (which) {
    case Table::ConfigurationCommand:
        return placeIn(m_configuration, code, firstCode(ConfigurationCommands));
    case Table::DeclarationCommand:
        return placeIn(m_declaration, code, firstCode(DeclarationCommands));
    case Table::PollStep:
        return placeIn(m_pollSteps, code, firstCode(PollStepCommands));
    case Table::LiveCommand:
        return placeIn(m_liveCommands, code, firstCode(LiveCommands));
    }
    return nullptr;
}

std::span<const CommandRow> CommEngine::commandsOf(Table table) {
    switch (table) {
    case Table::ConfigurationCommand:
        return ConfigurationCommands;
    case Table::DeclarationCommand:
        return DeclarationCommands;
    case Table::PollStep:
        return PollStepCommands;
    case Table::LiveCommand:
        return LiveCommands;
    }
    return {};
}

const CommandRow* CommEngine::commandOf(const EngineObserver::TransactionId& id) {
    for (const Table table : {Table::ConfigurationCommand, Table::DeclarationCommand,
                              Table::PollStep, Table::LiveCommand}) {
        const EngineObserver::TransactionId place = observedId(table, id.code);
        if (place.page == id.page && place.kind == id.kind) {
            return findCommand(commandsOf(table), id.code);
        }
    }
    return nullptr;
}

CommEngine::Registration CommEngine::registerTransaction(Table which, std::uint8_t code,
                                                         Transaction& transaction) {
    Slot* place = slot(which, code);
    checkInvariant(place != nullptr, "registering a transaction code outside its engine table");
    checkInvariant(place->transaction == nullptr, "registering a taken transaction code");
    place->transaction = &transaction;
    place->alive = std::make_shared<const bool>(true);
    return Registration(*this, which, code);
}

void CommEngine::remove(Table which, std::uint8_t code) {
    if (Slot* place = slot(which, code)) {
        *place = Slot{};
    }
}

void CommEngine::postCommand(std::uint8_t code, OnEnded onEnded) {
    checkInvariant(code < m_configuration.size(), "posting a command code outside the table");
    const bool preempts = m_state.CommandBusy;
    const std::uint8_t preempted = m_state.PendingCommand;
    OnEnded previous = std::exchange(m_commandEnded, std::move(onEnded));
    m_commandPostedIn = commandTable();
    m_state.SendPending = true;
    m_state.PendingCommand = code;
    m_state.CommandBusy = true;
    if (preempts) {
        settle(commandTable(), preempted, TransactionOutcome::Abandoned, std::move(previous));
    }
}

void CommEngine::postLiveCommand(std::uint8_t code, OnEnded onEnded) {
    checkInvariant(slot(Table::LiveCommand, code) != nullptr,
                   "posting a live command outside the table");
    const std::uint8_t preempted = m_state.LiveCommand;
    OnEnded previous = std::exchange(m_liveCommandEnded, std::move(onEnded));
    if (preempted == 0) {
        abandonPollStepInFlight();
    }
    m_state.LiveCommand = code;
    m_state.SendPending = true;
    m_state.PollStep = 0;
    if (preempted != 0) {
        settle(Table::LiveCommand, preempted, TransactionOutcome::Abandoned, std::move(previous));
    }
}

void CommEngine::MarkLinkAlive() {
    m_state.LinkAliveTicks = LinkAliveReload;
    m_link.replyReceived();
}

void CommEngine::keepLinkAliveFor(std::uint8_t ticks) {
    m_state.LinkAliveTicks = ticks;
}

bool CommEngine::countDownLinkAlive() {
    if (m_state.LinkAliveTicks == 0) {
        return false;
    }
    --m_state.LinkAliveTicks;
    return true;
}

void CommEngine::switchDeviceAddress(std::uint32_t address) {
    checkInvariant(address <= 255, "a device address beyond 255");
    m_state.DeviceAddress = address;
}

void CommEngine::showMessage(const UserMessage& message, std::function<void()> onClosed) {
    m_messages.show(message, std::move(onClosed));
}

void CommEngine::endCommand() {
    const std::uint8_t code = m_state.PendingCommand;
    const bool wasBusy = m_state.CommandBusy;
    m_state.PendingCommand = EngineState::NoCommand;
    m_state.CommandBusy = false;
    if (wasBusy) {
        settle(commandTable(), code, outcomeNow(), takeCommandPoster(commandTable()));
    }
}

void CommEngine::endLiveCommand() {
    const std::uint8_t code = std::exchange(m_state.LiveCommand, 0);
    if (code != 0) {
        settle(Table::LiveCommand, code, outcomeNow(), std::exchange(m_liveCommandEnded, nullptr));
    }
}

void CommEngine::nextPollStep() {
    const std::uint8_t step = m_state.PollStep;
    m_state.PollStep = static_cast<std::uint8_t>((m_state.PollStep + 1) % 4);
    m_state.SendPending = true;
    if (m_pollStepInFlight == step) {
        m_pollStepInFlight.reset();
        settle(Table::PollStep, step, outcomeNow(), nullptr);
    }
}

void CommEngine::restartPolling() {
    const std::uint8_t live = std::exchange(m_state.LiveCommand, 0);
    abandonPollStepInFlight();
    m_state.PollStep = 0;
    m_state.SendPending = true;
    if (live != 0) {
        settle(Table::LiveCommand, live, outcomeNow(), std::exchange(m_liveCommandEnded, nullptr));
    }
}

void CommEngine::abandonPollStepInFlight() {
    if (const std::optional<std::uint8_t> step = std::exchange(m_pollStepInFlight, std::nullopt)) {
        settle(Table::PollStep, *step, TransactionOutcome::Abandoned, nullptr);
    }
}

TransactionOutcome CommEngine::outcomeNow() const {
    return m_handling.value_or(TransactionOutcome::Abandoned);
}

CommEngine::OnEnded CommEngine::takeCommandPoster(Table endsIn) {
    OnEnded ended = std::exchange(m_commandEnded, nullptr);
    if (ended && endsIn != m_commandPostedIn) {
        return [ended = std::move(ended)](TransactionOutcome) {
            ended(TransactionOutcome::Abandoned);
        };
    }
    return ended;
}

CommEngine::Table CommEngine::commandTable() const {
    return m_state.PageMode == DeclarationPage ? Table::DeclarationCommand
                                               : Table::ConfigurationCommand;
}

void CommEngine::settle(Table table, std::uint8_t code, TransactionOutcome outcome, OnEnded ended) {
    if (!m_observers.empty()) {
        const EngineObserver::TransactionId id = observedId(table, code);
        notify([&](EngineObserver& observer) { observer.transactionEnded(id, outcome); });
    }
    // Runs last: the engine's state is final, so the poster may post the next command here.
    if (ended) {
        ended(outcome);
    }
}

void CommEngine::tick(int visiblePage) {
    if (m_port.bytesWaiting() > PurgeThreshold) {
        purge(EngineObserver::PurgeReason::Overflow);
        return;
    }
    m_state.TxFrame = ModbusFrame{};

    switch (visiblePage) {
    case ConfigurationPage:
        tickConfiguration();
        break;
    case RealTimeDataPage:
        tickRealTimeData();
        break;
    case DeclarationPage:
        tickDeclaration();
        break;
    default:
        break;
    }
}

void CommEngine::enterConfigurationPage() {
    // Whatever was posted is dropped on entering the page.
    const bool dropped = m_state.CommandBusy;
    const std::uint8_t code = m_state.PendingCommand;
    m_state.PendingCommand = EngineState::NoCommand;
    m_state.CommandBusy = false;
    m_state.PageMode = ConfigurationPage;
    abandonPollStepInFlight(); // polling starts again at step 0 when its page returns
    purge(EngineObserver::PurgeReason::PageEntry);
    if (dropped) {
        settle(Table::ConfigurationCommand, code, TransactionOutcome::Abandoned,
               takeCommandPoster(Table::ConfigurationCommand));
    }
}

void CommEngine::tickConfiguration() {
    if (m_state.PageMode != ConfigurationPage) {
        enterConfigurationPage();
        return;
    }
    if (m_state.PendingCommand == EngineState::NoCommand) {
        m_state.CommandBusy = false;
    }
    if (!m_state.CommandBusy) {
        return;
    }
    const std::uint8_t code = m_state.PendingCommand;
    Slot* place = slot(Table::ConfigurationCommand, code);
    if (place == nullptr || place->transaction == nullptr) {
        m_state.CommandBusy = false;
        settle(Table::ConfigurationCommand, code, TransactionOutcome::Abandoned,
               takeCommandPoster(Table::ConfigurationCommand));
        return;
    }
    runTransaction(Table::ConfigurationCommand, code, *place);
}

void CommEngine::enterRealTimeDataPage() {
    abandonPollStepInFlight();
    m_state.PollStep = 0;
    m_state.SendPending = true;
    m_state.PageMode = RealTimeDataPage;
    purge(EngineObserver::PurgeReason::PageEntry);
}

void CommEngine::tickRealTimeData() {
    if (m_state.PageMode != RealTimeDataPage) {
        enterRealTimeDataPage();
        return;
    }
    if (m_state.LiveCommand != 0) {
        Slot* place = slot(Table::LiveCommand, m_state.LiveCommand);
        if (place != nullptr && place->transaction != nullptr) {
            runTransaction(Table::LiveCommand, m_state.LiveCommand, *place);
        }
        return;
    }
    Slot* step = slot(Table::PollStep, m_state.PollStep);
    if (step == nullptr || step->transaction == nullptr) {
        m_state.PollStep = 0;
        m_state.SendPending = true;
        return;
    }
    runTransaction(Table::PollStep, m_state.PollStep, *step);
}

void CommEngine::enterDeclarationPage() {
    m_state.PageMode = DeclarationPage;
    abandonPollStepInFlight(); // polling starts again at step 0 when its page returns
    purge(EngineObserver::PurgeReason::PageEntry);
}

void CommEngine::tickDeclaration() {
    if (m_state.PageMode != DeclarationPage) {
        enterDeclarationPage();
        return;
    }
    if (!m_state.CommandBusy) {
        return;
    }
    // A command posted on the Configuration page stays posted here; only its own page clears it.
    Slot* place = slot(Table::DeclarationCommand, m_state.PendingCommand);
    if (place == nullptr || place->transaction == nullptr) {
        purge(EngineObserver::PurgeReason::Other);
        return;
    }
    runTransaction(Table::DeclarationCommand, m_state.PendingCommand, *place);
}

void CommEngine::runTransaction(Table which, std::uint8_t code, const Slot& place) {
    if (m_state.SendPending) {
        sendTick(which, code, *place.transaction);
    } else {
        receiveTick(which, code, place);
    }
}

void CommEngine::sendTick(Table which, std::uint8_t code, Transaction& transaction) {
    if (which == Table::PollStep) {
        m_pollStepInFlight = code;
    }
    m_state.TxFrame = transaction.request(static_cast<std::uint8_t>(m_state.DeviceAddress));
    m_port.write(m_state.TxFrame.bytes.data(), m_state.TxFrame.length);
    if (!m_observers.empty()) {
        const EngineObserver::TransactionId id = observedId(which, code);
        notify([&](EngineObserver& observer) { observer.requestSent(id, m_state.TxFrame.view()); });
    }
    purge(EngineObserver::PurgeReason::BeforeReply);
    m_state.SendPending = false;
    m_state.RxLength = 0;
    m_state.ReplyWaitTicks = 0;
    m_timerIntervalMs = transaction.sendIntervalMs();
}

namespace {

// Marks the outcome being handled while a transaction's handler runs (handlers may throw).
class Handling {
public:
    Handling(std::optional<TransactionOutcome>& slot, TransactionOutcome outcome) : m_slot(slot) {
        m_slot = outcome;
    }
    ~Handling() { m_slot.reset(); }
    Handling(const Handling&) = delete;
    Handling& operator=(const Handling&) = delete;

private:
    std::optional<TransactionOutcome>& m_slot;
};

} // namespace

void CommEngine::receiveTick(Table which, std::uint8_t code, const Slot& place) {
    m_timerIntervalMs = ReceiveIntervalMs;
    Transaction& transaction = *place.transaction;
    // Built only when an outcome is handed over.
    const auto context = [this, &place] { return Context(*this, place.alive); };
    if (m_state.ReplyWaitTicks >= TimeoutTicks) {
        const Handling handling(m_handling, TransactionOutcome::Timeout);
        Context handler = context();
        transaction.onTimeout(handler);
        return;
    }
    ++m_state.ReplyWaitTicks;

    const std::uint32_t waiting = m_port.bytesWaiting();
    if (waiting > PurgeThreshold) {
        purge(EngineObserver::PurgeReason::Overflow);
        return;
    }
    collect(waiting, which, code);
    if (m_state.RxLength == 0) {
        return; // nothing in yet: no reply can be complete
    }

    switch (CheckReply(m_state.reply(), transaction.function(), transaction.replyLength(),
                       m_state.DeviceAddress)) {
    case ReplyStatus::Incomplete:
        break;
    case ReplyStatus::WrongHeader: {
        const Handling handling(m_handling, TransactionOutcome::WrongHeader);
        Context handler = context();
        transaction.onWrongHeader(handler);
        break;
    }
    case ReplyStatus::BadCrc: {
        const Handling handling(m_handling, TransactionOutcome::BadCrc);
        Context handler = context();
        transaction.onBadCrc(handler);
        break;
    }
    case ReplyStatus::Good: {
        const Handling handling(m_handling, TransactionOutcome::Good);
        Context handler = context();
        transaction.onGood(handler, m_state.reply());
        break;
    }
    }
}

void CommEngine::collect(std::uint32_t count, Table which, std::uint8_t code) {
    if (count == 0) {
        return;
    }
    const std::uint32_t got = m_port.read(m_state.RxChunk.data(), count);
    if (!m_observers.empty() && got > 0) {
        const EngineObserver::TransactionId id = observedId(which, code);
        const TransportDetails& details = m_port.lastReadDetails();
        notify([&](EngineObserver& observer) {
            observer.bytesReceived(id, {m_state.RxChunk.data(), got}, details);
        });
    }
    // The reply check never needs more than 99 bytes; whatever exceeds the buffer is dropped.
    const std::uint32_t room =
        static_cast<std::uint32_t>(EngineState::RxCapacity) - m_state.RxLength;
    const std::uint32_t kept = std::min(got, room);
    std::memcpy(m_state.RxFrame.data() + m_state.RxLength, m_state.RxChunk.data(), kept);
    m_state.RxLength += kept;
}

void CommEngine::reportPurge(EngineObserver::PurgeReason reason) {
    if (const std::uint32_t waiting = m_port.bytesWaiting(); waiting > 0) {
        notify([&](EngineObserver& observer) { observer.bytesPurged(waiting, reason); });
    }
}

EngineObserver::TransactionId CommEngine::observedId(Table table, std::uint8_t code) {
    using Kind = EngineObserver::TransactionId::Kind;
    const auto page = [](Page shown) { return static_cast<std::uint8_t>(shown); };
    switch (table) {
    case Table::ConfigurationCommand:
        return {page(ConfigurationPage), Kind::Command, code};
    case Table::DeclarationCommand:
        return {page(DeclarationPage), Kind::Command, code};
    case Table::PollStep:
        return {page(RealTimeDataPage), Kind::PollStep, code};
    case Table::LiveCommand:
        return {page(RealTimeDataPage), Kind::LiveCommand, code};
    }
    return {};
}

} // namespace climate::link

#include "CommEngine.h"

#include "CheckReply.h"
#include "EngineWindow.h"
#include "SerialPort.h"
#include "Transaction.h"

#include <algorithm>
#include <cstring>

CommEngine::CommEngine(SerialPort& port, EngineWindow& window) : m_port(port), m_window(window) {}

void CommEngine::setConfigurationCommand(std::uint8_t code, Transaction* transaction) {
    if (code < m_configuration.size()) {
        m_configuration[code] = transaction;
    }
}

void CommEngine::setDeclarationCommand(std::uint8_t code, Transaction* transaction) {
    // Only 1 and 2 are Declaration codes; any other code on that page belongs to the
    // Configuration page and must stay posted, untouched.
    if (code == 1 || code == 2) {
        m_declaration[code] = transaction;
    }
}

void CommEngine::setPollStep(std::uint8_t step, Transaction* transaction) {
    if (step < m_pollSteps.size()) {
        m_pollSteps[step] = transaction;
    }
}

void CommEngine::setLiveCommand(std::uint8_t code, Transaction* transaction) {
    if (code < m_liveCommands.size()) {
        m_liveCommands[code] = transaction;
    }
}

void CommEngine::postCommand(std::uint8_t code) {
    m_state.SendPending = 1;
    m_state.PendingCommand = code;
    m_state.CommandBusy = 1;
}

void CommEngine::postLiveCommand(std::uint8_t code) {
    m_state.LiveCommand = code;
    m_state.SendPending = 1;
    m_state.PollStep = 0;
}

void CommEngine::MarkLinkAlive() {
    m_state.LinkAliveTicks = LinkAliveReload;
    m_window.setLinkBarPosition(m_window.linkBarPosition() + 1);
}

void CommEngine::purgeInput() {
    purge(EngineObserver::PurgeReason::AfterReply);
}

void CommEngine::purge(EngineObserver::PurgeReason reason) {
    if (m_observer != nullptr) {
        if (const std::uint32_t waiting = m_port.bytesWaiting(); waiting > 0) {
            m_observer->bytesPurged(waiting, reason);
        }
    }
    m_port.purgeInput();
}

void CommEngine::endCommand() {
    m_state.PendingCommand = EngineState::NoCommand;
    m_state.CommandBusy = 0;
}

void CommEngine::nextPollStep() {
    m_state.PollStep = static_cast<std::uint8_t>((m_state.PollStep + 1) % 4);
    m_state.SendPending = 1;
}

void CommEngine::restartPolling() {
    m_state.LiveCommand = 0;
    m_state.PollStep = 0;
    m_state.SendPending = 1;
}

void CommEngine::showMessage(const UserMessage& message, std::function<void()> onClosed) {
    m_window.show(message, std::move(onClosed));
}

void CommEngine::tick() {
    m_window.forceWindowSize();
    if (m_port.bytesWaiting() > PurgeThreshold) {
        purge(EngineObserver::PurgeReason::Overflow);
        return;
    }
    m_state.TxFrame = ModbusFrame{};

    switch (m_window.visiblePage()) {
    case EngineWindow::ConfigurationPage:
        tickConfiguration();
        break;
    case EngineWindow::RealTimeDataPage:
        tickRealTimeData();
        break;
    case EngineWindow::DeclarationPage:
        tickDeclaration();
        break;
    default:
        break;
    }
}

void CommEngine::tickConfiguration() {
    if (m_state.PageMode != EngineWindow::ConfigurationPage) {
        m_state.PendingCommand = EngineState::NoCommand;
        m_state.CommandBusy = 0;
        m_state.PageMode = EngineWindow::ConfigurationPage;
        reportAbandoned();
        purge(EngineObserver::PurgeReason::PageEntry);
        return;
    }
    if (m_state.PendingCommand == EngineState::NoCommand) {
        m_state.CommandBusy = 0;
    }
    if (m_state.CommandBusy != 1) {
        return;
    }
    Transaction* transaction = m_state.PendingCommand < m_configuration.size()
                                   ? m_configuration[m_state.PendingCommand]
                                   : nullptr;
    if (transaction == nullptr) {
        m_state.CommandBusy = 0;
        return;
    }
    runTransaction(*transaction, {EngineWindow::ConfigurationPage, TransactionId::Kind::Command,
                                  m_state.PendingCommand});
}

void CommEngine::tickRealTimeData() {
    if (m_state.PageMode != EngineWindow::RealTimeDataPage) {
        m_state.PollStep = 0;
        m_state.SendPending = 1;
        m_state.PageMode = EngineWindow::RealTimeDataPage;
        reportAbandoned();
        purge(EngineObserver::PurgeReason::PageEntry);
        return;
    }
    if (m_state.LiveCommand != 0) {
        Transaction* transaction = m_state.LiveCommand < m_liveCommands.size()
                                       ? m_liveCommands[m_state.LiveCommand]
                                       : nullptr;
        if (transaction != nullptr) {
            runTransaction(*transaction, {EngineWindow::RealTimeDataPage,
                                          TransactionId::Kind::LiveCommand, m_state.LiveCommand});
        }
        return;
    }
    Transaction* step =
        m_state.PollStep < m_pollSteps.size() ? m_pollSteps[m_state.PollStep] : nullptr;
    if (step == nullptr) {
        m_state.PollStep = 0;
        m_state.SendPending = 1;
        return;
    }
    runTransaction(
        *step, {EngineWindow::RealTimeDataPage, TransactionId::Kind::PollStep, m_state.PollStep});
}

void CommEngine::tickDeclaration() {
    if (m_state.PageMode != EngineWindow::DeclarationPage) {
        m_state.PageMode = EngineWindow::DeclarationPage;
        reportAbandoned();
        purge(EngineObserver::PurgeReason::PageEntry);
        return;
    }
    if (m_state.CommandBusy != 1) {
        return;
    }
    // A command posted on the Configuration page stays posted here; only its own page clears it.
    Transaction* transaction = m_state.PendingCommand < m_declaration.size()
                                   ? m_declaration[m_state.PendingCommand]
                                   : nullptr;
    if (transaction == nullptr) {
        purge(EngineObserver::PurgeReason::Other);
        return;
    }
    runTransaction(*transaction, {EngineWindow::DeclarationPage, TransactionId::Kind::Command,
                                  m_state.PendingCommand});
}

void CommEngine::runTransaction(Transaction& transaction, const TransactionId& id) {
    if (m_state.SendPending == 1) {
        sendTick(transaction, id);
    } else {
        receiveTick(transaction);
    }
}

void CommEngine::sendTick(Transaction& transaction, const TransactionId& id) {
    m_state.TxFrame = transaction.request(m_state);
    m_port.write(m_state.TxFrame.bytes.data(), m_state.TxFrame.length);
    if (m_observer != nullptr) {
        reportAbandoned(); // a live command pre-empting a poll step
        m_observer->requestSent(id, m_state.TxFrame.view());
        m_inFlightId = id;
        m_inFlight = true;
    }
    purge(EngineObserver::PurgeReason::BeforeReply);
    m_state.SendPending = 0;
    m_state.RxLength = 0;
    m_state.ReplyWaitTicks = 0;
    m_window.setEngineInterval(transaction.sendIntervalMs());
}

void CommEngine::receiveTick(Transaction& transaction) {
    m_window.setEngineInterval(ReceiveIntervalMs);
    if (m_state.ReplyWaitTicks >= TimeoutTicks) {
        transaction.onTimeout(*this);
        if (m_observer != nullptr) {
            reportIfEnded(CheckReply(m_state.reply(), transaction.function(),
                                     transaction.replyLength(), m_state.DeviceAddress),
                          true);
        }
        return;
    }
    ++m_state.ReplyWaitTicks;

    const std::uint32_t waiting = m_port.bytesWaiting();
    if (waiting > PurgeThreshold) {
        purge(EngineObserver::PurgeReason::Overflow);
        return;
    }
    collect(waiting);

    const ReplyStatus status = CheckReply(m_state.reply(), transaction.function(),
                                          transaction.replyLength(), m_state.DeviceAddress);
    switch (status) {
    case ReplyStatus::Incomplete:
        break;
    case ReplyStatus::WrongHeader:
        transaction.onWrongHeader(*this);
        break;
    case ReplyStatus::BadCrc:
        transaction.onBadCrc(*this);
        break;
    case ReplyStatus::Good:
        transaction.onGood(*this);
        break;
    }
    if (m_observer != nullptr && status != ReplyStatus::Incomplete) {
        reportIfEnded(status, false);
    }
}

void CommEngine::reportIfEnded(ReplyStatus lastCheck, bool timedOut) {
    if (!m_inFlight) {
        return;
    }
    const bool ended = m_inFlightId.kind == TransactionId::Kind::Command
                           ? m_state.CommandBusy == 0 || m_state.SendPending == 1
                           : m_state.SendPending == 1;
    if (!ended) {
        return;
    }
    m_inFlight = false;
    EngineObserver::Outcome outcome = EngineObserver::Outcome::Timeout;
    switch (lastCheck) {
    case ReplyStatus::Good:
        outcome = timedOut ? EngineObserver::Outcome::Timeout : EngineObserver::Outcome::Good;
        break;
    case ReplyStatus::WrongHeader:
        outcome =
            timedOut ? EngineObserver::Outcome::Timeout : EngineObserver::Outcome::WrongHeader;
        break;
    case ReplyStatus::BadCrc:
        outcome = EngineObserver::Outcome::BadCrc;
        break;
    case ReplyStatus::Incomplete:
        break;
    }
    m_observer->transactionEnded(m_inFlightId, outcome);
}

void CommEngine::reportAbandoned() {
    if (m_observer != nullptr && m_inFlight) {
        m_inFlight = false;
        m_observer->transactionEnded(m_inFlightId, EngineObserver::Outcome::Abandoned);
    }
}

void CommEngine::collect(std::uint32_t count) {
    if (count == 0) {
        return;
    }
    const std::uint32_t got = m_port.read(m_state.RxChunk.data(), count);
    if (m_observer != nullptr && got > 0) {
        m_observer->bytesReceived(m_inFlightId, {m_state.RxChunk.data(), got},
                                  m_port.lastReadDetails());
    }
    // The reply check never needs more than 99 bytes; whatever exceeds the buffer is dropped.
    const std::uint32_t room =
        static_cast<std::uint32_t>(EngineState::RxCapacity) - m_state.RxLength;
    const std::uint32_t kept = std::min(got, room);
    std::memcpy(m_state.RxFrame.data() + m_state.RxLength, m_state.RxChunk.data(), kept);
    m_state.RxLength += kept;
}

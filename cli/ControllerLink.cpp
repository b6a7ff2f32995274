#include "ControllerLink.h"

#include "HeadlessWindow.h"

#include "config/ConfigCommands.h"
#include "config/FirmwareVersion.h"
#include "config/FirmwareVersionTransaction.h"
#include "config/GroupWriteTransaction.h"
#include "config/ParameterGroups.h"
#include "config/SetAllPlan.h"
#include "config/SetAllRun.h"
#include "link/LinkState.h"
#include "link/ModbusException.h"
#include "link/NamedPort.h"
#include "link/Transaction.h"
#include "realtime/PollCircle.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <optional>

namespace climate::cli {

using namespace climate::config;
using namespace climate::link;

// What crossed the line, as the engine reports it: byte counts both ways, and whether the last
// request was answered with an exception reply.
class TrafficWatch : public ExceptionWatch {
public:
    void requestSent(const TransactionId& id, std::span<const std::uint8_t> frame) override {
        m_sent += frame.size();
        ExceptionWatch::requestSent(id, frame);
    }
    void bytesReceived(const TransactionId& id, std::span<const std::uint8_t> chunk,
                       const TransportDetails& transport) override {
        m_received += chunk.size();
        ExceptionWatch::bytesReceived(id, chunk, transport);
    }
    void bytesPurged(std::uint32_t count, PurgeReason /*reason*/) override { m_received += count; }

    [[nodiscard]] std::uint64_t sent() const { return m_sent; }
    [[nodiscard]] std::uint64_t received() const { return m_received; }

private:
    std::uint64_t m_sent = 0;
    std::uint64_t m_received = 0;
};

// A step of the polling circle that decodes into the link's live record and reports how it
// ended: the measurements step closes a circle.
class CirclePollStep : public PollTransaction {
public:
    CirclePollStep(const realtime::PollRead& read, realtime::LiveData& live, bool closesCircle,
                   std::function<void()> circleDone, std::function<void(TransactionOutcome)> failed)
        : PollTransaction(read.shape(), read.moveOnAtBadCrc), m_read(read), m_live(live),
          m_closesCircle(closesCircle), m_circleDone(std::move(circleDone)),
          m_failed(std::move(failed)) {}

    void onWrongHeader(TransactionContext& context) override {
        PollTransaction::onWrongHeader(context);
        m_failed(TransactionOutcome::WrongHeader);
    }
    void onBadCrc(TransactionContext& context) override {
        PollTransaction::onBadCrc(context);
        if (m_read.moveOnAtBadCrc) {
            m_failed(TransactionOutcome::BadCrc);
        }
    }
    void onTimeout(TransactionContext& context) override {
        PollTransaction::onTimeout(context);
        m_failed(TransactionOutcome::Timeout);
    }

protected:
    void decode(std::span<const std::uint8_t> reply) override { m_read.decode(reply, m_live); }
    void afterDecode() override {
        if (m_closesCircle) {
            m_circleDone();
        }
    }

private:
    const realtime::PollRead& m_read;
    realtime::LiveData& m_live;
    bool m_closesCircle;
    std::function<void()> m_circleDone;
    std::function<void(TransactionOutcome)> m_failed;
};

ControllerLink::ControllerLink()
    : m_port(std::make_unique<NamedPort>()),
      m_window(std::make_unique<HeadlessWindow>([this] { tick(); },
                                                [this](const UserMessage& message) {
                                                    m_messages << QString::fromStdString(
                                                        message.caption + ": " + message.text);
                                                })),
      m_link(std::make_unique<LinkState>(*m_port)),
      m_engine(std::make_unique<CommEngine>(*m_port, *m_window, *m_link)),
      m_traffic(std::make_unique<TrafficWatch>()) {
    m_engine->addObserver(*m_traffic);
    const auto add = [this](CommEngine::Table table, std::uint8_t code, Transaction& transaction) {
        m_registrations.push_back(m_engine->registerTransaction(table, code, transaction));
    };
    m_readAll = std::make_unique<ReadAllTransaction>(
        [this](const ReadAllTransaction::Registers& registers) { m_registers = registers; });
    add(CommEngine::Table::ConfigurationCommand, codeOf(ConfigCommand::ReadAll), *m_readAll);
    m_firmwareRead = std::make_unique<FirmwareVersionTransaction>(
        [this](const QString& version) { m_firmware = version; });
    add(CommEngine::Table::ConfigurationCommand, codeOf(ConfigCommand::ReadFirmwareVersion),
        *m_firmwareRead);
    for (const ParameterGroup& group : parameterGroups()) {
        m_groupWrites.push_back(std::make_unique<GroupWriteTransaction>(group, m_parameters));
        add(CommEngine::Table::ConfigurationCommand, codeOf(group.command), *m_groupWrites.back());
    }
    for (std::uint8_t step = 0; step < m_pollSteps.size(); ++step) {
        m_pollSteps[step] = std::make_unique<CirclePollStep>(
            realtime::PollCircle[step], m_live, step + 1u == m_pollSteps.size(),
            [this] { ++m_poll.circlesDone; },
            [this, step](TransactionOutcome outcome) {
                if (!m_poll.failure) {
                    m_poll.failure = outcome;
                    m_poll.failedStep = step;
                }
            });
        add(CommEngine::Table::PollStep, realtime::PollCircle[step].command->code,
            *m_pollSteps[step]);
    }
}

ControllerLink::~ControllerLink() {
    m_window->stopEngine();
    m_registrations.clear();
    m_port->close();
}

void ControllerLink::tick() {
    try {
        m_engine->tick(m_window->visiblePage());
        m_window->setEngineInterval(m_engine->timerIntervalMs());
    } catch (const std::exception& error) {
        // The window shows such an error in a box and goes on; without one, the run ends.
        m_window->stopEngine();
        m_fault = QString::fromUtf8(error.what());
    }
}

void ControllerLink::open(const Settings& settings) {
    std::optional<SerialPort::OpenError> outcome;
    m_port->setOpenFinished([&outcome](SerialPort::OpenError error) { outcome = error; });
    const SerialPort::OpenError first = m_port->open(settings.port.toStdString());
    if (first == SerialPort::OpenError::Pending) {
        // The network port bounds its own connect time.
        while (!outcome) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
    } else {
        outcome = first;
    }
    m_port->setOpenFinished({});
    if (*outcome != SerialPort::OpenError::None) {
        const QString detail = m_port->lastErrorText();
        throw LinkError(QStringLiteral("cannot open %1: %2%3")
                            .arg(settings.port, QString::fromUtf8(describe(*outcome)),
                                 detail.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(detail))
                            .toStdString());
    }
    if (!m_port->applyLineSettings(settings.baud, 8)) {
        m_port->close();
        throw LinkError(QStringLiteral("%1 refuses %2 baud, 8 data bits")
                            .arg(settings.port)
                            .arg(settings.baud)
                            .toStdString());
    }
    m_engine->switchDeviceAddress(settings.address);
    m_window->setVisiblePage(ConfigurationPage);
    m_window->startEngine();
}

void ControllerLink::waitFor(const std::function<bool()>& done) {
    while (!done()) {
        if (!m_fault.isEmpty()) {
            throw LinkError(QStringLiteral("internal error: %1").arg(m_fault).toStdString());
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
}

QString ControllerLink::failureText(const char* what, TransactionOutcome outcome) const {
    QString reason;
    if (const std::optional<std::uint8_t> code = m_traffic->lastException();
        code &&
        (outcome == TransactionOutcome::Timeout || outcome == TransactionOutcome::WrongHeader)) {
        reason = refusalText(*code);
    } else if (m_port->isLost()) {
        reason = QStringLiteral("the port was lost (%1)").arg(m_port->lastErrorText());
    } else {
        switch (outcome) {
        case TransactionOutcome::Timeout:
            reason = QStringLiteral("no reply from address %1 in time")
                         .arg(m_engine->state().DeviceAddress);
            break;
        case TransactionOutcome::WrongHeader:
            reason = QStringLiteral("a wrong reply (another address or function)");
            break;
        case TransactionOutcome::BadCrc:
            reason = QStringLiteral("a reply with a bad CRC");
            break;
        case TransactionOutcome::Abandoned:
        case TransactionOutcome::Good:
            reason = QStringLiteral("abandoned");
            break;
        }
    }
    return QStringLiteral("%1: %2").arg(QString::fromUtf8(what), reason);
}

void ControllerLink::runCommand(std::uint8_t code, const char* what) {
    std::optional<TransactionOutcome> ended;
    m_engine->postCommand(code, [&ended](TransactionOutcome outcome) { ended = outcome; });
    waitFor([&ended] { return ended.has_value(); });
    if (*ended != TransactionOutcome::Good) {
        throw LinkError(failureText(what, *ended).toStdString());
    }
}

ReadAllTransaction::Registers ControllerLink::readAll() {
    runCommand(codeOf(ConfigCommand::ReadAll), "Read All");
    return m_registers;
}

QString ControllerLink::firmwareVersion() {
    runCommand(codeOf(ConfigCommand::ReadFirmwareVersion), "firmware version");
    return m_firmware;
}

ControllerLink::SetAllResult ControllerLink::setAll(const ControllerParameters& parameters) {
    m_parameters = parameters;
    SetAllResult result;
    bool finished = false;
    SetAllRun run(
        *m_engine,
        [this](ConfigCommand command) -> GroupWriteTransaction& {
            return *m_groupWrites.at(
                static_cast<std::size_t>(&parameterGroup(command) - parameterGroups().data()));
        },
        SetAllRun::Hooks{
            .writing = {},
            .accepted =
                [&result](const ParameterGroup& group) { result.written << groupName(group); },
            .finished =
                [&](std::size_t written, TransactionOutcome outcome,
                    std::optional<GroupFailure> /*failure*/) {
                    if (outcome != TransactionOutcome::Good) {
                        const QByteArray name = groupName(*setAllGroups().at(written)).toUtf8();
                        result.failure = failureText(name.constData(), outcome);
                    }
                    finished = true;
                }});
    run.start();
    waitFor([&finished] { return finished; });
    return result;
}

void ControllerLink::poll(int circles, const std::function<void(const realtime::LiveData&)>& circle,
                          const std::function<bool()>& stop) {
    const auto stopped = [&stop] { return stop && stop(); };
    m_poll = {};
    m_window->setVisiblePage(RealTimeDataPage);
    for (int reported = 0; reported < circles && !stopped(); ++reported) {
        waitFor([&] { return m_poll.failure || m_poll.circlesDone > reported || stopped(); });
        if (m_poll.failure) {
            m_window->setVisiblePage(ConfigurationPage);
            const QByteArray what =
                QByteArray("the ") + realtime::PollCircle.at(m_poll.failedStep).command->name;
            throw LinkError(failureText(what.constData(), *m_poll.failure).toStdString());
        }
        if (m_poll.circlesDone > reported) {
            circle(m_live);
        }
    }
    m_window->setVisiblePage(ConfigurationPage);
}

std::vector<monitor::ControllerSearch::Found>
ControllerLink::find(int first, int last, const std::function<void(int, int)>& progress) {
    m_window->stopEngine();
    monitor::ControllerSearch search(
        *m_port, monitor::ControllerSearch::Hooks{.pauseEngine = [] {},
                                                  .resumeEngine = [] {},
                                                  .firmwareText = decodeFirmwareVersion});
    bool finished = false;
    QObject::connect(&search, &monitor::ControllerSearch::finished,
                     [&finished](monitor::ControllerSearch::End) { finished = true; });
    if (progress) {
        QObject::connect(&search, &monitor::ControllerSearch::progressed, progress);
    }
    if (!search.start(first, last)) {
        throw LinkError("the address search did not start: the port is not open");
    }
    waitFor([&finished] { return finished; });
    if (m_port->isLost()) {
        throw LinkError(
            QStringLiteral("the port was lost (%1)").arg(m_port->lastErrorText()).toStdString());
    }
    return search.found();
}

std::uint64_t ControllerLink::bytesSent() const {
    return m_traffic->sent();
}

std::uint64_t ControllerLink::bytesReceived() const {
    return m_traffic->received();
}

} // namespace climate::cli

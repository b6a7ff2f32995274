#include "ControllerLink.h"

#include "config/ConfigCommands.h"
#include "config/FirmwareVersion.h"
#include "config/GroupWriteTransaction.h"
#include "config/ParameterGroups.h"
#include "config/SetAllPlan.h"
#include "config/SetAllRun.h"
#include "link/EngineObserver.h"
#include "link/Invariant.h"
#include "link/ModbusException.h"
#include "link/NamedPort.h"
#include "realtime/PollCircle.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

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

// How far the polling circle has come since it was last reset: a circle is done when the
// measurements are published; the first step that ends without a good reply is a failure.
class CircleWatch : public EngineObserver, public realtime::LiveDataListener {
public:
    void reset() {
        m_circlesDone = 0;
        m_failure.reset();
    }
    [[nodiscard]] int circlesDone() const { return m_circlesDone; }
    [[nodiscard]] const std::optional<TransactionOutcome>& failure() const { return m_failure; }
    [[nodiscard]] std::uint8_t failedStep() const { return m_failedStep; }

    void groupDecoded(realtime::LiveGroup group, const realtime::LiveData& /*live*/,
                      realtime::LiveClock::time_point /*arrived*/) override {
        if (group == realtime::LiveGroup::Measurements) {
            ++m_circlesDone;
        }
    }
    void transactionEnded(const TransactionId& id, Outcome outcome) override {
        if (id.kind != TransactionId::Kind::PollStep || outcome == TransactionOutcome::Good ||
            outcome == TransactionOutcome::Abandoned || m_failure) {
            return;
        }
        m_failure = outcome;
        m_failedStep = id.code;
    }
    void requestSent(const TransactionId& /*id*/,
                     std::span<const std::uint8_t> /*frame*/) override {}
    void bytesReceived(const TransactionId& /*id*/, std::span<const std::uint8_t> /*chunk*/,
                       const TransportDetails& /*transport*/) override {}
    void bytesPurged(std::uint32_t /*count*/, PurgeReason /*reason*/) override {}

private:
    int m_circlesDone = 0;
    std::optional<TransactionOutcome> m_failure;
    std::uint8_t m_failedStep = 0;
};

// The boxes the engine would have shown, as "caption: text" lines. Nobody dismisses a box here:
// it counts as closed at once, its close step running from the event loop, never inside the tick
// that raised it, and never once the log is gone.
class MessageLog : public MessagePresenter {
public:
    explicit MessageLog(QStringList& lines) : m_lines(lines) {}
    void show(const UserMessage& message, std::function<void()> onClosed) override {
        m_lines << QString::fromStdString(message.caption + ": " + message.text);
        if (onClosed) {
            QTimer::singleShot(0, &m_closeSteps, std::move(onClosed));
        }
    }

private:
    QStringList& m_lines;
    QObject m_closeSteps; // the close steps not yet run go with it
};

ControllerLink::ControllerLink()
    : m_messageLog(std::make_unique<MessageLog>(m_messages)),
      m_session(std::make_unique<session::ControllerSession>(*m_messageLog)),
      m_traffic(std::make_unique<TrafficWatch>()), m_circle(std::make_unique<CircleWatch>()) {
    m_session->engine().addObserver(*m_traffic);
    m_session->engine().addObserver(*m_circle);
    m_session->live().model().subscribe(*m_circle);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
}

ControllerLink::~ControllerLink() {
    m_timer.stop();
    m_session->live().model().unsubscribe(*m_circle);
    m_session->engine().removeObserver(*m_circle);
    m_session->engine().removeObserver(*m_traffic);
    m_session->port().close();
}

void ControllerLink::tick() {
    try {
        m_session->tick(m_page);
        m_timer.setIntervalMs(m_session->engineIntervalMs());
    } catch (const std::exception& error) {
        // The window shows such an error in a box and goes on; without one, the run ends.
        m_timer.stop();
        m_fault = QString::fromUtf8(error.what());
    }
}

void ControllerLink::open(const Settings& settings) {
    std::optional<SerialPort::OpenError> outcome;
    m_session->port().setOpenFinished([&outcome](SerialPort::OpenError error) { outcome = error; });
    const SerialPort::OpenError first = m_session->port().open(settings.port.toStdString());
    if (first == SerialPort::OpenError::Pending) {
        // The network port bounds its own connect time.
        while (!outcome) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
    } else {
        outcome = first;
    }
    m_session->port().setOpenFinished({});
    if (*outcome != SerialPort::OpenError::None) {
        const QString detail = m_session->port().lastErrorText();
        throw LinkError(QStringLiteral("cannot open %1: %2%3")
                            .arg(settings.port, QString::fromUtf8(describe(*outcome)),
                                 detail.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(detail))
                            .toStdString());
    }
    if (!m_session->port().applyLineSettings(settings.baud, 8)) {
        m_session->port().close();
        throw LinkError(QStringLiteral("%1 refuses %2 baud, 8 data bits")
                            .arg(settings.port)
                            .arg(settings.baud)
                            .toStdString());
    }
    m_session->engine().switchDeviceAddress(settings.address);
    m_page = ConfigurationPage;
    m_timer.start();
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
    } else if (m_session->port().isLost()) {
        reason = QStringLiteral("the port was lost (%1)").arg(m_session->port().lastErrorText());
    } else {
        switch (outcome) {
        case TransactionOutcome::Timeout:
            reason = QStringLiteral("no reply from address %1 in time")
                         .arg(m_session->engine().state().DeviceAddress);
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
    m_session->engine().postCommand(code,
                                    [&ended](TransactionOutcome outcome) { ended = outcome; });
    waitFor([&ended] { return ended.has_value(); });
    if (*ended != TransactionOutcome::Good) {
        throw LinkError(failureText(what, *ended).toStdString());
    }
}

ReadAllTransaction::Registers ControllerLink::readAll() {
    runCommand(codeOf(ConfigCommand::ReadAll), "Read All");
    const std::optional<ParameterModel::Registers>& registers =
        m_session->parameters().model().lastReadAll();
    checkInvariant(registers.has_value(), "an accepted Read All left no registers");
    return *registers;
}

QString ControllerLink::firmwareVersion() {
    runCommand(codeOf(ConfigCommand::ReadFirmwareVersion), "firmware version");
    return m_session->parameters().model().firmwareVersion();
}

ControllerLink::SetAllResult ControllerLink::setAll(const ControllerParameters& parameters) {
    ParameterTransfers& transfers = m_session->parameters();
    transfers.staged() = parameters;
    SetAllResult result;
    bool finished = false;
    SetAllRun run(
        m_session->engine(),
        [&transfers](ConfigCommand command) -> GroupWriteTransaction& {
            return transfers.groupWrite(command);
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
    m_circle->reset();
    m_page = RealTimeDataPage;
    const CircleWatch& watch = *m_circle;
    for (int reported = 0; reported < circles && !stopped(); ++reported) {
        waitFor([&] { return watch.failure() || watch.circlesDone() > reported || stopped(); });
        if (watch.failure()) {
            m_page = ConfigurationPage;
            const QByteArray what =
                QByteArray("the ") + realtime::PollCircle.at(watch.failedStep()).command->name;
            throw LinkError(failureText(what.constData(), *watch.failure()).toStdString());
        }
        if (watch.circlesDone() > reported) {
            circle(m_session->live().model().record());
        }
    }
    m_page = ConfigurationPage;
}

std::vector<monitor::ControllerSearch::Found>
ControllerLink::find(int first, int last, const std::function<void(int, int)>& progress) {
    m_timer.stop();
    monitor::ControllerSearch search(
        m_session->port(), monitor::ControllerSearch::Hooks{.pauseEngine = [] {},
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
    if (m_session->port().isLost()) {
        throw LinkError(QStringLiteral("the port was lost (%1)")
                            .arg(m_session->port().lastErrorText())
                            .toStdString());
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

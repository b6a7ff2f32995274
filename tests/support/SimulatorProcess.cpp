#include "SimulatorProcess.h"

#include "SimulatorChannel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

SimulatorProcess::SimulatorProcess(QString program) : m_program(std::move(program)) {}

SimulatorProcess::~SimulatorProcess() {
    stop();
}

QString SimulatorProcess::programPath() {
#ifdef CLIMATE_SIM_PATH
    return QStringLiteral(CLIMATE_SIM_PATH);
#else
    return {};
#endif
}

bool SimulatorProcess::start(const QStringList& extraArguments, int timeoutMs) {
    stop();
    m_framing.clear();
    m_tcpAddress.clear();
    m_folder = std::make_unique<QTemporaryDir>();
    if (!m_folder->isValid()) {
        m_failure = QStringLiteral("no temporary folder: ") + m_folder->errorString();
        return false;
    }
    m_linkPath = m_folder->filePath(QStringLiteral("link"));
    return launch(QStringList{QStringLiteral("--link"), m_linkPath} + extraArguments, timeoutMs,
                  [this](const QString& rest) { return rest == m_linkPath; });
}

bool SimulatorProcess::startTcp(const QString& framing, const QStringList& extraArguments,
                                int timeoutMs) {
    stop();
    m_linkPath.clear();
    m_framing = framing;
    const QStringList arguments{QStringLiteral("--tcp"), QStringLiteral("127.0.0.1:0"),
                                QStringLiteral("--framing"), framing};
    return launch(arguments + extraArguments, timeoutMs, [this](const QString& rest) {
        m_tcpAddress = rest;
        return rest.startsWith(QStringLiteral("127.0.0.1:")) &&
               rest.section(QLatin1Char(':'), 1).toInt() > 0;
    });
}

QString SimulatorProcess::portName() const {
    if (m_framing.isEmpty()) {
        return m_linkPath;
    }
    return (m_framing == QStringLiteral("mbap") ? QStringLiteral("tcp://")
                                                : QStringLiteral("rtu+tcp://")) +
           m_tcpAddress;
}

bool SimulatorProcess::launch(const QStringList& arguments, int timeoutMs,
                              const std::function<bool(const QString&)>& acceptReady) {
    m_failure.clear();
    m_transcript.clear();
    m_pending.clear();
    if (m_program.isEmpty()) {
        m_failure = QStringLiteral("this build has no simulator binary");
        return false;
    }
    m_process = SimulatorChannel::create();
    if (!m_process->start(m_program, arguments, timeoutMs)) {
        m_failure = QStringLiteral("cannot start ") + m_program + QStringLiteral(": ") +
                    m_process->errorString();
        return false;
    }

    const QDeadlineTimer deadline(timeoutMs);
    const QString ready = QStringLiteral("ready ");
    while (!deadline.hasExpired()) {
        const QString line = nextLine(static_cast<int>(deadline.remainingTime()));
        if (line.startsWith(QStringLiteral("ready"))) {
            if (!line.startsWith(ready) || !acceptReady(line.mid(ready.size()).trimmed())) {
                m_failure = QStringLiteral("unexpected ready line: ") + line;
                return false;
            }
            return true;
        }
        if (!isRunning()) {
            break;
        }
    }
    m_failure = QStringLiteral("the simulator did not report ready");
    return false;
}

bool SimulatorProcess::isRunning() const {
    return m_process && m_process->isRunning();
}

QString SimulatorProcess::command(const QString& line, int timeoutMs) {
    if (!isRunning()) {
        m_failure = QStringLiteral("command '") + line + QStringLiteral("' with no simulator");
        return {};
    }
    m_transcript += QStringLiteral("> ") + line + QLatin1Char('\n');
    m_process->write((line + QLatin1Char('\n')).toUtf8());
    const QString answer = nextLine(timeoutMs);
    if (answer.isEmpty()) {
        m_failure = QStringLiteral("no answer to '") + line + QLatin1Char('\'');
    }
    return answer;
}

bool SimulatorProcess::commandOk(const QString& line, int timeoutMs) {
    return command(line, timeoutMs).startsWith(QStringLiteral("ok"));
}

void SimulatorProcess::stop() {
    if (!m_process) {
        return;
    }
    m_process->stop();
    collectOutput();
    m_process.reset();
}

QString SimulatorProcess::diagnostics() const {
    QString text = m_transcript;
    if (!m_pending.isEmpty()) {
        text += QString::fromUtf8(m_pending) + QLatin1Char('\n');
    }
    if (!m_failure.isEmpty()) {
        text += QStringLiteral("failure: ") + m_failure + QLatin1Char('\n');
    }
    return text;
}

void SimulatorProcess::collectOutput() {
    if (!m_process) {
        return;
    }
    m_pending += m_process->readOutput();
    const QByteArray errors = m_process->readErrors();
    if (!errors.isEmpty()) {
        m_transcript += QString::fromUtf8(errors);
    }
}

QString SimulatorProcess::nextLine(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        collectOutput();
        const qsizetype end = m_pending.indexOf('\n');
        if (end >= 0) {
            const QString line = QString::fromUtf8(m_pending.left(end)).trimmed();
            m_pending.remove(0, end + 1);
            m_transcript += line + QLatin1Char('\n');
            return line;
        }
        if (deadline.hasExpired() || !isRunning()) {
            return {};
        }
        const int wait = static_cast<int>(deadline.remainingTime());
        if (QCoreApplication::instance() != nullptr) {
            // Keep the event loop turning so serial ports in this thread go on receiving.
            QEventLoop loop;
            QTimer timer;
            timer.setSingleShot(true);
            QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
            QObject::connect(m_process.get(), &SimulatorChannel::activity, &loop,
                             &QEventLoop::quit);
            timer.start(wait);
            loop.exec();
        } else {
            m_process->waitForOutput(wait);
        }
    }
}

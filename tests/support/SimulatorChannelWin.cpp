#include "SimulatorChannel.h"

#include "HostProgram.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

namespace {

// host_relay.py listens on loopback, writes its port into a file, and on the first connection
// starts the simulator with its input and output on that connection (standard error in a
// file). Closing the connection stops the simulator.
class RelayChannel final : public SimulatorChannel {
public:
    RelayChannel() {
        connect(&m_socket, &QTcpSocket::readyRead, this, &SimulatorChannel::activity);
        connect(&m_socket, &QTcpSocket::disconnected, this, &SimulatorChannel::activity);
    }
    ~RelayChannel() override { stop(); }

    bool start(const QString& program, const QStringList& arguments, int timeoutMs) override {
        const QString hostFolder = hostPath(m_folder.path());
        if (!m_folder.isValid() || hostFolder.isEmpty()) {
            m_error = QStringLiteral("no folder shared with the host");
            return false;
        }
        m_relay.setProgram(QStringLiteral(CLIMATE_HOST_PYTHON));
        m_relay.setArguments(QStringList{QStringLiteral(CLIMATE_HOST_RELAY),
                                         hostFolder + QStringLiteral("/port"),
                                         hostFolder + QStringLiteral("/errors"), program} +
                             arguments);
        m_relay.start();
        if (!m_relay.waitForStarted(timeoutMs)) {
            m_error = m_relay.errorString();
            return false;
        }
        const QDeadlineTimer deadline(timeoutMs);
        QFile portFile(m_folder.filePath(QStringLiteral("port")));
        quint16 port = 0;
        while (port == 0 && !deadline.hasExpired()) {
            if (portFile.open(QIODevice::ReadOnly)) {
                const QByteArray text = portFile.readAll();
                portFile.close();
                if (text.endsWith('\n')) {
                    port = text.trimmed().toUShort();
                }
            }
            if (port == 0) {
                QThread::msleep(20);
            }
        }
        if (port == 0) {
            m_error = QStringLiteral("the host relay did not start");
            return false;
        }
        m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        if (!m_socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
            m_error = m_socket.errorString();
            return false;
        }
        return true;
    }
    QString errorString() const override { return m_error; }
    bool isRunning() const override {
        return m_socket.state() == QAbstractSocket::ConnectedState;
    }
    void write(const QByteArray& bytes) override {
        m_socket.write(bytes);
        m_socket.flush();
    }
    QByteArray readOutput() override { return m_socket.readAll(); }
    QByteArray readErrors() override {
        QFile errors(m_folder.filePath(QStringLiteral("errors")));
        if (!errors.open(QIODevice::ReadOnly) || !errors.seek(m_errorsRead)) {
            return {};
        }
        const QByteArray fresh = errors.readAll();
        m_errorsRead += fresh.size();
        return fresh;
    }
    void waitForOutput(int timeoutMs) override { m_socket.waitForReadyRead(timeoutMs); }
    void stop() override {
        if (m_socket.state() != QAbstractSocket::UnconnectedState) {
            m_socket.disconnectFromHost();
            if (m_socket.state() != QAbstractSocket::UnconnectedState) {
                m_socket.waitForDisconnected(3000);
            }
        }
        if (m_relay.state() != QProcess::NotRunning && !m_relay.waitForFinished(6000)) {
            m_relay.kill();
            m_relay.waitForFinished(3000);
        }
    }

private:
    QTemporaryDir m_folder;
    QProcess m_relay;
    QTcpSocket m_socket;
    QString m_error;
    qint64 m_errorsRead = 0;
};

} // namespace

bool SimulatorChannel::servesSerialPorts() {
    return false;
}

std::unique_ptr<SimulatorChannel> SimulatorChannel::create() {
    return std::make_unique<RelayChannel>();
}

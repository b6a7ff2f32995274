#include "SimulatorChannel.h"

#include "WineHost.h"

namespace {

// The simulator runs on the host under the host service, which passes its standard input and
// output over this connection; closing the connection stops it.
class RelayChannel final : public SimulatorChannel {
public:
    RelayChannel() {
        connect(&m_socket, &QTcpSocket::readyRead, this, &SimulatorChannel::activity);
        connect(&m_socket, &QTcpSocket::disconnected, this, &SimulatorChannel::activity);
    }
    ~RelayChannel() override { stop(); }

    bool start(const QString& program, const QStringList& arguments, int timeoutMs) override {
        return wine_host::request(m_socket, "relay", program, arguments, {}, m_error, timeoutMs);
    }
    QString errorString() const override { return m_error; }
    bool isRunning() const override { return m_socket.state() == QAbstractSocket::ConnectedState; }
    void write(const QByteArray& bytes) override {
        m_socket.write(bytes);
        m_socket.flush();
    }
    QByteArray readOutput() override { return m_socket.readAll(); }
    QByteArray readErrors() override { return {}; } // in the host service's own log
    void waitForOutput(int timeoutMs) override { m_socket.waitForReadyRead(timeoutMs); }
    void stop() override {
        if (m_socket.state() == QAbstractSocket::UnconnectedState) {
            return;
        }
        m_socket.disconnectFromHost();
        if (m_socket.state() != QAbstractSocket::UnconnectedState) {
            m_socket.waitForDisconnected(3000);
        }
    }

private:
    QTcpSocket m_socket;
    QString m_error;
};

} // namespace

bool SimulatorChannel::servesSerialPorts() {
    return false;
}

std::unique_ptr<SimulatorChannel> SimulatorChannel::create() {
    return std::make_unique<RelayChannel>();
}

#pragma once

#include "MbapCodec.h"
#include "NetworkPortAddress.h"
#include "SerialPort.h"
#include "TransportClock.h"

#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <array>

namespace climate::link {

class HostResolver;

// A network port (rtu+tcp://HOST:PORT or tcp://HOST[:PORT]) behind the serial port interface, so
// the engine, its timing and its checks work unchanged. Over rtu+tcp the bytes pass as they are;
// over tcp the MBAP framing is translated here (MbapCodec), so the engine still sees RTU frames.
//
// open() returns Pending and connects in the background, at most ConnectTimeoutMs including the
// name lookup and every address the name has (tried in turn); the outcome goes to the handler of
// setOpenFinished(). Line settings are accepted
// and ignored. Frames go out at once (no Nagle delay), and a dead peer is noticed by TCP
// keep-alive probes after a few seconds instead of the system's two hours.
//
// A connection that drops under the open port is handled like a pulled USB adapter: the socket
// is closed at once (nothing left to spin on), isOpen() stays true until close(), every
// operation fails without effect, and lost() is emitted once. Close, then open, reconnects.
class TcpPortLink : public QObject, public SerialPort {
    Q_OBJECT

public:
    static constexpr int ConnectTimeoutMs = 3000;
    // Keep-alive: first probe after this much silence, then one per interval; the connection
    // counts as dead when this many probes in a row go unanswered (5 + 3 * 2 = 11 s).
    static constexpr int KeepAliveIdleSeconds = 5;
    static constexpr int KeepAliveIntervalSeconds = 2;
    static constexpr int KeepAliveProbes = 3;

    // `resolver` looks up host names (not owned; IP literals never reach it).
    explicit TcpPortLink(HostResolver& resolver, QObject* parent = nullptr);
    // Another resolver for the next open (not owned); the port is closed first.
    void setResolver(HostResolver& resolver);
    ~TcpPortLink() override;
    TcpPortLink(const TcpPortLink&) = delete;
    TcpPortLink& operator=(const TcpPortLink&) = delete;

    // InvalidName when `name` does not parse, otherwise Pending. An open port is closed first.
    OpenError open(const std::string& name) override;
    // Accepted (true) while connected; the far end's serial line is set up there.
    bool applyLineSettings(std::int32_t baudRate, std::uint8_t dataBits) override;
    void close() override;
    [[nodiscard]] bool isOpen() const override { return m_state == State::Open; }

    std::uint32_t bytesWaiting() override;
    void purgeInput() override;
    std::uint32_t read(std::uint8_t* destination, std::uint32_t count) override;
    void write(const std::uint8_t* data, std::uint32_t count) override;
    // Arrival and request times as for a serial port; under Modbus TCP also the MBAP header the
    // bytes of the last read came in.
    [[nodiscard]] TransportDetails lastReadDetails() const override;

    [[nodiscard]] bool isConnecting() const { return m_state == State::Connecting; }
    [[nodiscard]] bool isLost() const { return m_lost; }
    // Why the last open failed or the connection was lost.
    [[nodiscard]] QString lastErrorText() const { return m_lastErrorText; }
    // The framing of the open (or last opened) port.
    [[nodiscard]] NetworkPortAddress::Framing framing() const { return m_address.framing; }
    // The MBAP translation (for tcp:// ports): the header of the last reply and what was dropped.
    [[nodiscard]] const MbapCodec& mbap() const { return m_codec; }
    // The connected socket's descriptor (-1 when none), for checking its options.
    [[nodiscard]] qintptr socketDescriptor() const { return m_socket.socketDescriptor(); }

signals:
    // The connection dropped under the open port; emitted once per loss, from the event loop.
    void lost();

private:
    enum class State { Closed, Connecting, Open };

    [[nodiscard]] bool usable() const { return m_state == State::Open && !m_lost; }
    // Tries the next address of the name; a failed attempt moves on to the one after it.
    void connectToNext();
    void onConnected();
    void onSocketError(QAbstractSocket::SocketError error);
    void onDisconnected();
    void finishOpening(OpenError outcome, const QString& errorText);
    void setUpConnectedSocket();
    void loseConnection(const QString& errorText);
    // Moves what the socket has received into the MBAP translation.
    void takeReceived();
    void onReadyRead();
    void onBytesWritten();

    HostResolver* m_resolver = nullptr;
    QTcpSocket m_socket;
    QTimer m_connectTimer;
    MbapCodec m_codec;
    NetworkPortAddress m_address;
    QList<QHostAddress> m_candidates; // addresses of the name not tried yet
    State m_state = State::Closed;
    bool m_lost = false;
    quint64 m_generation = 0; // counts opens and closes, so late callbacks spare a newer port
    QString m_lastErrorText;

    // What the bus monitor is told of the bytes the last read() returned.
    TransportClock m_times;
    std::array<std::uint8_t, MbapCodec::HeaderSize> m_lastReadHeader{}; // MBAP header of the read
    bool m_lastReadHadHeader = false;
};

} // namespace climate::link

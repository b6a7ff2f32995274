#include "TcpPortLink.h"

#include "HostResolver.h"
#include "SocketKeepAlive.h"

#include <QHostAddress>

#include <algorithm>
#include <limits>

namespace climate::link {

namespace {

SerialPort::OpenError classifyConnectFailure(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return SerialPort::OpenError::Refused;
    case QAbstractSocket::HostNotFoundError:
        return SerialPort::OpenError::HostNotFound;
    case QAbstractSocket::SocketTimeoutError:
        return SerialPort::OpenError::TimedOut;
    default:
        return SerialPort::OpenError::Other;
    }
}

std::uint32_t clampCount(qint64 count) {
    return static_cast<std::uint32_t>(
        std::clamp<qint64>(count, 0, std::numeric_limits<std::uint32_t>::max()));
}

} // namespace

TcpPortLink::TcpPortLink(HostResolver& resolver, QObject* parent)
    : QObject(parent), m_resolver(&resolver) {
    m_connectTimer.setSingleShot(true);
    m_connectTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_connectTimer, &QTimer::timeout, this, [this] {
        finishOpening(OpenError::TimedOut,
                      QStringLiteral("no connection within %1 s").arg(ConnectTimeoutMs / 1000));
    });
    connect(&m_socket, &QTcpSocket::connected, this, &TcpPortLink::onConnected);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &TcpPortLink::onSocketError);
    connect(&m_socket, &QTcpSocket::disconnected, this, &TcpPortLink::onDisconnected);
    connect(&m_socket, &QTcpSocket::readyRead, this, &TcpPortLink::onReadyRead);
    connect(&m_socket, &QTcpSocket::bytesWritten, this, &TcpPortLink::onBytesWritten);
}

TransportDetails TcpPortLink::lastReadDetails() const {
    TransportDetails details = m_times.details();
    if (m_lastReadHadHeader) {
        details.framing = m_lastReadHeader;
    }
    return details;
}

void TcpPortLink::onReadyRead() {
    m_times.bytesArrived();
}

void TcpPortLink::onBytesWritten() {
    m_times.bytesWritten(m_socket.bytesToWrite() == 0);
}

TcpPortLink::~TcpPortLink() {
    close();
}

void TcpPortLink::setResolver(HostResolver& resolver) {
    close();
    m_resolver = &resolver;
}

SerialPort::OpenError TcpPortLink::open(const std::string& name) {
    close();
    const auto address = NetworkPortAddress::parse(QString::fromStdString(name));
    if (!address) {
        m_lastErrorText = QStringLiteral("not a network port name");
        return OpenError::InvalidName;
    }
    m_address = *address;
    m_lastErrorText.clear();
    m_state = State::Connecting;
    m_connectTimer.start(ConnectTimeoutMs);

    const QHostAddress literal(m_address.host);
    if (!literal.isNull()) {
        m_candidates = {literal};
        connectToNext();
        return OpenError::Pending;
    }
    const quint64 generation = m_generation;
    m_resolver->lookup(m_address.host, [this, generation](const QList<QHostAddress>& addresses) {
        if (generation != m_generation || m_state != State::Connecting) {
            return;
        }
        if (addresses.isEmpty()) {
            finishOpening(OpenError::HostNotFound,
                          QStringLiteral("host %1 not found").arg(m_address.host));
            return;
        }
        m_candidates = addresses;
        connectToNext();
    });
    return OpenError::Pending;
}

void TcpPortLink::connectToNext() {
    m_socket.abort();
    m_socket.connectToHost(m_candidates.takeFirst(), m_address.port);
}

void TcpPortLink::onConnected() {
    if (m_state != State::Connecting) {
        return;
    }
    setUpConnectedSocket();
    m_codec.reset();
    finishOpening(OpenError::None, {});
}

void TcpPortLink::setUpConnectedSocket() {
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_socket.setSocketOption(QAbstractSocket::KeepAliveOption, 1);
    setKeepAliveTiming(m_socket.socketDescriptor(), KeepAliveIdleSeconds, KeepAliveIntervalSeconds,
                       KeepAliveProbes);
}

void TcpPortLink::onSocketError(QAbstractSocket::SocketError error) {
    if (m_state == State::Connecting) {
        if (!m_candidates.isEmpty()) {
            // Not from inside the socket's own notification.
            const quint64 generation = m_generation;
            QMetaObject::invokeMethod(
                this,
                [this, generation] {
                    if (generation == m_generation && m_state == State::Connecting) {
                        connectToNext();
                    }
                },
                Qt::QueuedConnection);
            return;
        }
        finishOpening(classifyConnectFailure(error), m_socket.errorString());
    } else if (m_state == State::Open) {
        loseConnection(m_socket.errorString());
    }
}

void TcpPortLink::onDisconnected() {
    if (m_state == State::Open) {
        loseConnection(QStringLiteral("the connection was closed by the far end"));
    }
}

void TcpPortLink::finishOpening(OpenError outcome, const QString& errorText) {
    if (m_state != State::Connecting) {
        return;
    }
    m_connectTimer.stop();
    m_resolver->cancel();
    if (outcome == OpenError::None) {
        m_state = State::Open;
    } else {
        m_state = State::Closed;
        m_lastErrorText = errorText;
        m_socket.abort();
    }
    // The handler may close or reopen the port: it runs on its own turn of the event loop, and
    // not at all once the port has been closed or reopened meanwhile.
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation, outcome] {
            if (generation == m_generation) {
                reportOpenFinished(outcome);
            }
        },
        Qt::QueuedConnection);
}

void TcpPortLink::loseConnection(const QString& errorText) {
    if (m_lost) {
        return;
    }
    m_lost = true;
    m_lastErrorText = errorText;
    m_codec.reset();
    // Aborting from inside the socket's own notification is left to the next turn of the loop.
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation == m_generation) {
                m_socket.abort();
                emit lost();
            }
        },
        Qt::QueuedConnection);
}

bool TcpPortLink::applyLineSettings(std::int32_t /*baudRate*/, std::uint8_t /*dataBits*/) {
    return usable();
}

void TcpPortLink::close() {
    ++m_generation;
    if (m_state == State::Connecting) {
        m_resolver->cancel();
    }
    m_connectTimer.stop();
    m_state = State::Closed;
    m_socket.abort();
    m_codec.reset();
    m_candidates.clear();
    m_lost = false;
    m_times.reset();
    m_lastReadHadHeader = false;
}

void TcpPortLink::takeReceived() {
    const QByteArray received = m_socket.readAll();
    m_codec.receive(std::span(reinterpret_cast<const std::uint8_t*>(received.constData()),
                              static_cast<std::size_t>(received.size())));
}

std::uint32_t TcpPortLink::bytesWaiting() {
    if (!usable()) {
        return 0;
    }
    if (m_address.framing == NetworkPortAddress::Framing::Rtu) {
        return clampCount(m_socket.bytesAvailable());
    }
    takeReceived();
    return clampCount(static_cast<qint64>(m_codec.available()));
}

void TcpPortLink::purgeInput() {
    if (!usable()) {
        return;
    }
    m_socket.readAll();
    m_codec.discardInput();
    m_times.inputPurged();
}

std::uint32_t TcpPortLink::read(std::uint8_t* destination, std::uint32_t count) {
    if (!usable() || destination == nullptr) {
        return 0;
    }
    std::uint32_t got = 0;
    if (m_address.framing == NetworkPortAddress::Framing::Mbap) {
        takeReceived();
        got = static_cast<std::uint32_t>(m_codec.read(destination, count));
        const auto header = m_codec.lastReplyHeaderBytes();
        m_lastReadHadHeader = got > 0 && header.size() == m_lastReadHeader.size();
        if (m_lastReadHadHeader) {
            std::copy(header.begin(), header.end(), m_lastReadHeader.begin());
        }
    } else {
        const qint64 read = m_socket.read(reinterpret_cast<char*>(destination), count);
        got = read > 0 ? static_cast<std::uint32_t>(read) : 0;
    }
    if (got > 0) {
        m_times.bytesRead(m_socket.bytesAvailable() == 0 && m_codec.available() == 0);
    }
    return got;
}

void TcpPortLink::write(const std::uint8_t* data, std::uint32_t count) {
    if (!usable() || data == nullptr || count == 0) {
        return;
    }
    m_times.requestQueued();
    if (m_address.framing == NetworkPortAddress::Framing::Mbap) {
        const std::vector<std::uint8_t> frame = m_codec.encodeRequest(std::span(data, count));
        m_socket.write(reinterpret_cast<const char*>(frame.data()),
                       static_cast<qint64>(frame.size()));
    } else {
        m_socket.write(reinterpret_cast<const char*>(data), count);
    }
    // Hand it to the system now rather than on the next turn of the event loop.
    m_socket.flush();
}

} // namespace climate::link

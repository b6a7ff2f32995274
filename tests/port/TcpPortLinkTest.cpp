// The network port over real loopback sockets: how opening ends (connected, refused, host not
// found, timed out, abandoned), the socket's options, the MBAP translation against a scripted
// gateway, and a connection dropped by the far end. Names are resolved only by the fake.
#include "link/TcpPortLink.h"
#include "link/ModbusCrc.h"
#include "support/EventLoopWait.h"
#include "support/FakeHostResolver.h"
#include "support/FrameHex.h"

#include "SocketOptions.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <iostream>
#include <optional>
#include <vector>

using namespace climate::link;

namespace {

using Bytes = std::vector<std::uint8_t>;
using OpenError = SerialPort::OpenError;

QByteArray bytesOf(const Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

// A loopback port nobody listens on: one the system just handed out and took back.
quint16 freeLoopbackPort() {
    QTcpServer probe;
    EXPECT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

class TcpPortLinkTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        port.setOpenFinished([this](OpenError outcome) { outcomes.push_back(outcome); });
    }

    // Opens `name` and waits for the outcome; nothing when none came within `timeoutMs`.
    std::optional<OpenError> openAndWait(const QString& name, int timeoutMs = 5000) {
        outcomes.clear();
        const OpenError first = port.open(name.toStdString());
        if (first != OpenError::Pending) {
            return first;
        }
        EXPECT_FALSE(port.isOpen()) << "open while connecting";
        EXPECT_TRUE(outcomes.empty()) << "reported from inside open()";
        if (!spinUntil([this] { return !outcomes.empty(); }, timeoutMs)) {
            return std::nullopt;
        }
        return outcomes.front();
    }

    // The gateway's end of the connection, once the port has connected.
    QTcpSocket* acceptPeer() {
        spinUntil([this] { return server.hasPendingConnections(); }, 2000);
        QTcpSocket* peer = server.nextPendingConnection();
        EXPECT_NE(peer, nullptr);
        return peer;
    }

    [[nodiscard]] QString serverName(const char* scheme) const {
        return QStringLiteral("%1://127.0.0.1:%2")
            .arg(QLatin1String(scheme))
            .arg(server.serverPort());
    }

    Bytes readWaiting() {
        Bytes bytes(port.bytesWaiting());
        bytes.resize(port.read(bytes.data(), static_cast<std::uint32_t>(bytes.size())));
        return bytes;
    }

    QTcpServer server;
    FakeHostResolver resolver;
    TcpPortLink port{resolver};
    std::vector<OpenError> outcomes;
};

TEST_F(TcpPortLinkTest, OpeningEndsWithTheCause) {
    resolver.answer(QStringLiteral("gateway.site.example"), {QHostAddress::LocalHost});
    resolver.answer(QStringLiteral("unknown.site.example"), {});
    // The first address refuses (nothing listens on IPv6 loopback there): the next one is tried.
    resolver.answer(QStringLiteral("dual.site.example"),
                    {QHostAddress::LocalHostIPv6, QHostAddress::LocalHost});
    const quint16 serverPort = server.serverPort();
    const quint16 freePort = freeLoopbackPort();
    const struct {
        QString name;
        std::optional<OpenError> outcome;
    } cases[] = {
        {QStringLiteral("rtu+tcp://127.0.0.1:%1").arg(serverPort), OpenError::None},
        {QStringLiteral("tcp://[::1]:%1").arg(freePort), OpenError::Refused},
        {QStringLiteral("tcp://127.0.0.1:%1").arg(freePort), OpenError::Refused},
        // Upper-cased as the Windows box does: still the same port.
        {QStringLiteral("RTU+TCP://GATEWAY.SITE.EXAMPLE:%1").arg(serverPort), OpenError::None},
        {QStringLiteral("tcp://unknown.site.example"), OpenError::HostNotFound},
        {QStringLiteral("tcp://dual.site.example:%1").arg(serverPort), OpenError::None},
        {QStringLiteral("rtu+tcp://127.0.0.1"), OpenError::InvalidName},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(openAndWait(c.name), c.outcome) << c.name.toStdString();
        EXPECT_EQ(port.isOpen(), c.outcome == OpenError::None) << c.name.toStdString();
        if (c.outcome != OpenError::None) {
            EXPECT_FALSE(port.lastErrorText().isEmpty()) << c.name.toStdString();
        }
        spinFor(20);
        EXPECT_EQ(outcomes.size(), c.outcome == OpenError::InvalidName ? 0u : 1u)
            << "one report per pending open: " << c.name.toStdString();
        port.close();
    }
    // Literal addresses never reach the name service.
    EXPECT_EQ(resolver.lookups(), (QStringList{QStringLiteral("gateway.site.example"),
                                               QStringLiteral("unknown.site.example"),
                                               QStringLiteral("dual.site.example")}));
}

TEST_F(TcpPortLinkTest, NameServiceThatNeverAnswersTimesOut) {
    // The fake knows no such name and stays silent, like a name server that is down.
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(openAndWait(QStringLiteral("tcp://silent.site.example"), 6000), OpenError::TimedOut);
    EXPECT_GE(clock.elapsed(), TcpPortLink::ConnectTimeoutMs - 100) << "gave up early";
    EXPECT_FALSE(port.isOpen());
}

TEST_F(TcpPortLinkTest, ClosingWhileConnectingReportsNothing) {
    EXPECT_EQ(port.open("tcp://silent.site.example:1502"), OpenError::Pending);
    EXPECT_TRUE(port.isConnecting());
    port.close();
    spinFor(100);
    EXPECT_TRUE(outcomes.empty());
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.isConnecting());
}

TEST_F(TcpPortLinkTest, ConnectedSocketSendsAtOnceAndProbesAnIdlePeer) {
    ASSERT_EQ(openAndWait(serverName("rtu+tcp")), OpenError::None);
    const SocketOptions options = socketOptionsOf(port.socketDescriptor());
    EXPECT_GT(options.noDelay, 0);
    EXPECT_GT(options.keepAlive, 0);
    if (options.timingReadable) {
        EXPECT_EQ(options.keepIdleSeconds, TcpPortLink::KeepAliveIdleSeconds);
        EXPECT_EQ(options.keepIntervalSeconds, TcpPortLink::KeepAliveIntervalSeconds);
        EXPECT_EQ(options.keepProbes, TcpPortLink::KeepAliveProbes);
    } else {
        std::cout << "this system does not tell the keep-alive timing\n";
    }
    // Line settings mean nothing here and are accepted.
    EXPECT_TRUE(port.applyLineSettings(1200, 7));
}

TEST_F(TcpPortLinkTest, RtuOverTcpPassesTheBytesAsTheyAre) {
    ASSERT_EQ(openAndWait(serverName("rtu+tcp")), OpenError::None);
    QTcpSocket* peer = acceptPeer();
    ASSERT_NE(peer, nullptr);
    const Bytes request = withCrc(fromHex("01 03 00 29 00 03"));
    port.write(request.data(), static_cast<std::uint32_t>(request.size()));
    ASSERT_TRUE(spinUntil([&] { return peer->bytesAvailable() >= 8; }, 2000));
    EXPECT_EQ(peer->readAll(), bytesOf(request));
    // Even a reply with a broken CRC reaches the engine unchanged: it judges it.
    const Bytes reply = fromHex("01 03 06 01 2C 00 32 11 94 00 00");
    peer->write(bytesOf(reply));
    ASSERT_TRUE(spinUntil([&] { return port.bytesWaiting() >= reply.size(); }, 2000));
    EXPECT_EQ(toHex(readWaiting()), toHex(reply));
}

TEST_F(TcpPortLinkTest, ModbusTcpTranslatesAgainstAScriptedGateway) {
    ASSERT_EQ(openAndWait(serverName("tcp")), OpenError::None);
    QTcpSocket* peer = acceptPeer();
    ASSERT_NE(peer, nullptr);
    const Bytes reply = replyFrom("01 03 06 01 2C 00 32 11 94");
    // Sends one request and returns the transaction id the gateway sees.
    const auto request = [&]() -> int {
        const Bytes rtu = withCrc(fromHex("01 03 00 29 00 03"));
        port.write(rtu.data(), static_cast<std::uint32_t>(rtu.size()));
        port.purgeInput(); // as the engine does right after sending
        if (!spinUntil([&] { return peer->bytesAvailable() >= 12; }, 2000)) {
            return -1;
        }
        const QByteArray mbap = peer->readAll();
        EXPECT_EQ(mbap.mid(2), bytesOf(fromHex("00 00 00 06 01 03 00 29 00 03")));
        return static_cast<std::uint8_t>(mbap[0]) << 8 | static_cast<std::uint8_t>(mbap[1]);
    };
    const auto mbapReply = [](int id) {
        Bytes frame{static_cast<std::uint8_t>(id >> 8), static_cast<std::uint8_t>(id & 0xFF)};
        const Bytes rest = fromHex("00 00 00 09 01 03 06 01 2C 00 32 11 94");
        frame.insert(frame.end(), rest.begin(), rest.end());
        return bytesOf(frame);
    };

    // A reply split across segments is put back together.
    int id = request();
    ASSERT_GE(id, 0);
    const QByteArray whole = mbapReply(id);
    peer->write(whole.left(5));
    peer->flush();
    spinFor(30);
    EXPECT_EQ(port.bytesWaiting(), 0u);
    peer->write(whole.mid(5));
    ASSERT_TRUE(spinUntil([&] { return port.bytesWaiting() >= reply.size(); }, 2000));
    EXPECT_EQ(toHex(readWaiting()), toHex(reply));
    // The MBAP header the reply came in, and its timing, go with it to whoever watches the line.
    const TransportDetails details = port.lastReadDetails();
    EXPECT_EQ(toHex(Bytes(details.framing.begin(), details.framing.end())),
              toHex(Bytes(whole.begin(), whole.begin() + 7)));
    ASSERT_TRUE(details.firstByte.has_value() && details.requestDone.has_value());
    EXPECT_LE(*details.requestDone, *details.firstByte);

    // A reply under another transaction id is dropped; the right one behind it is taken.
    id = request();
    peer->write(mbapReply(id - 1));
    peer->flush();
    spinFor(50);
    EXPECT_EQ(port.bytesWaiting(), 0u);
    EXPECT_EQ(port.mbap().droppedFrames(), 1u);
    peer->write(mbapReply(id));
    ASSERT_TRUE(spinUntil([&] { return port.bytesWaiting() >= reply.size(); }, 2000));
    EXPECT_EQ(toHex(readWaiting()), toHex(reply));

    // Garbage takes the reply in the same segment with it; the next exchange works again.
    id = request();
    peer->write(bytesOf(fromHex("5A A5 13 37 00 42 99")) + mbapReply(id));
    peer->flush();
    spinFor(50);
    EXPECT_EQ(port.bytesWaiting(), 0u);
    EXPECT_GT(port.mbap().discardedBytes(), 0u);
    id = request();
    peer->write(mbapReply(id));
    ASSERT_TRUE(spinUntil([&] { return port.bytesWaiting() >= reply.size(); }, 2000));
    EXPECT_EQ(toHex(readWaiting()), toHex(reply));
}

TEST_F(TcpPortLinkTest, DroppedConnectionIsLostUntilClosedThenReopens) {
    QSignalSpy lostSignals(&port, &TcpPortLink::lost);
    ASSERT_EQ(openAndWait(serverName("rtu+tcp")), OpenError::None);
    QTcpSocket* peer = acceptPeer();
    ASSERT_NE(peer, nullptr);
    peer->write("\x01\x02");
    peer->flush();
    peer->close();
    ASSERT_TRUE(spinUntil([&] { return lostSignals.count() > 0; }, 3000));
    spinFor(50);
    EXPECT_EQ(lostSignals.count(), 1);
    EXPECT_TRUE(port.isLost());
    EXPECT_TRUE(port.isOpen()) << "the window still holds the port open";
    EXPECT_EQ(port.bytesWaiting(), 0u);
    std::uint8_t byte = 0;
    EXPECT_EQ(port.read(&byte, 1), 0u);
    EXPECT_FALSE(port.applyLineSettings(9600, 8));
    EXPECT_EQ(port.socketDescriptor(), -1) << "nothing left to spin on";

    port.close();
    EXPECT_FALSE(port.isLost());
    ASSERT_EQ(openAndWait(serverName("rtu+tcp")), OpenError::None);
    EXPECT_TRUE(port.isOpen());
    EXPECT_FALSE(port.isLost());
}

} // namespace

#include "link/NetworkPortAddress.h"

#include <gtest/gtest.h>

#include <optional>

using namespace climate::link;

namespace {

using Framing = NetworkPortAddress::Framing;

struct AddressCase {
    const char* name;
    std::optional<NetworkPortAddress> expected;
};

NetworkPortAddress rtu(const char* host, std::uint16_t port) {
    return {Framing::Rtu, QString::fromUtf8(host), port};
}
NetworkPortAddress mbap(const char* host, std::uint16_t port) {
    return {Framing::Mbap, QString::fromUtf8(host), port};
}

const AddressCase Cases[] = {
    // RTU over TCP: the port is required.
    {"rtu+tcp://192.168.1.20:4001", rtu("192.168.1.20", 4001)},
    {"rtu+tcp://gateway.site.example:4001", rtu("gateway.site.example", 4001)},
    {"rtu+tcp://[::1]:4001", rtu("::1", 4001)},
    {"rtu+tcp://[fe80::1:2]:65535", rtu("fe80::1:2", 65535)},
    {"rtu+tcp://192.168.1.20", std::nullopt},
    {"rtu+tcp://192.168.1.20:", std::nullopt},
    // Modbus TCP: 502 unless given.
    {"tcp://10.0.0.5", mbap("10.0.0.5", 502)},
    {"tcp://10.0.0.5:1502", mbap("10.0.0.5", 1502)},
    {"tcp://[2001:db8::7]", mbap("2001:db8::7", 502)},
    {"tcp://[2001:db8::7]:503", mbap("2001:db8::7", 503)},
    {"tcp://plc-7", mbap("plc-7", 502)},
    {"tcp://10.0.0.5/", mbap("10.0.0.5", 502)},
    // The Windows box upper-cases what is typed; blanks around are trimmed.
    {"RTU+TCP://GATEWAY:4001", rtu("gateway", 4001)},
    {"TCP://[::1]", mbap("::1", 502)},
    {"  tcp://10.0.0.5:502  ", mbap("10.0.0.5", 502)},
    // Not valid.
    {"tcp://", std::nullopt},
    {"tcp://:502", std::nullopt},
    {"tcp://10.0.0.5:0", std::nullopt},
    {"tcp://10.0.0.5:65536", std::nullopt},
    {"tcp://10.0.0.5:port", std::nullopt},
    {"tcp://::1", std::nullopt},
    {"tcp://[::1", std::nullopt},
    {"tcp://[zz::1]:502", std::nullopt},
    {"tcp://10.0.0.5/unit/1", std::nullopt},
    {"tcp://10.0.0.5?unit=1", std::nullopt},
    {"tcp://user@10.0.0.5", std::nullopt},
    {"tcp://bad host", std::nullopt},
    {"udp://10.0.0.5:502", std::nullopt},
    {"/dev/ttyUSB0", std::nullopt},
    {"COM3", std::nullopt},
};

TEST(NetworkPortAddress, ParsesTheTwoFormsAndRefusesTheRest) {
    for (const AddressCase& c : Cases) {
        const auto parsed = NetworkPortAddress::parse(QString::fromUtf8(c.name));
        ASSERT_EQ(parsed.has_value(), c.expected.has_value()) << c.name;
        if (parsed) {
            EXPECT_EQ(parsed->framing, c.expected->framing) << c.name;
            EXPECT_EQ(parsed->host.toStdString(), c.expected->host.toStdString()) << c.name;
            EXPECT_EQ(parsed->port, c.expected->port) << c.name;
        }
    }
}

TEST(NetworkPortAddress, OnlyTheTwoSchemesCountAsNetworkPorts) {
    EXPECT_TRUE(NetworkPortAddress::looksLikeNetworkPort(QStringLiteral("rtu+tcp://x")));
    EXPECT_TRUE(NetworkPortAddress::looksLikeNetworkPort(QStringLiteral("Tcp://x:1")));
    EXPECT_TRUE(NetworkPortAddress::looksLikeNetworkPort(QStringLiteral("tcp://")));
    EXPECT_FALSE(NetworkPortAddress::looksLikeNetworkPort(QStringLiteral("/dev/tcp://x")));
    EXPECT_FALSE(NetworkPortAddress::looksLikeNetworkPort(QStringLiteral("/dev/ttyS0")));
    EXPECT_FALSE(NetworkPortAddress::looksLikeNetworkPort(QStringLiteral("COM12")));
}

} // namespace

#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace climate::link {

// A network port as the user names it in the port list:
//   rtu+tcp://HOST:PORT   RTU frames, CRC included, passed as they are over a raw TCP socket
//                         (a serial device server); the port is required;
//   tcp://HOST[:PORT]     Modbus TCP (MBAP framing) to a gateway; port 502 when left out.
// HOST is a host name, an IPv4 address or a bracketed IPv6 literal ("[::1]"). The scheme and the
// host are case-insensitive, so a name upper-cased by the port box still parses.
struct NetworkPortAddress {
    enum class Framing { Rtu, Mbap };
    static constexpr std::uint16_t ModbusTcpPort = 502;

    Framing framing = Framing::Rtu;
    QString host; // without brackets
    std::uint16_t port = 0;

    // Whether `name` is meant as a network port (it starts with one of the two schemes), parsed
    // or not; a serial device name never is.
    [[nodiscard]] static bool looksLikeNetworkPort(const QString& name);
    // The address, or nothing when `name` is not a complete, valid network port name.
    [[nodiscard]] static std::optional<NetworkPortAddress> parse(const QString& name);

    bool operator==(const NetworkPortAddress&) const = default;
};

} // namespace climate::link

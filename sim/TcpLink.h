#pragma once

#include "Line.h"
#include "UniqueFd.h"

#include <optional>
#include <string>
#include <string_view>

namespace sim {

// The simulator's end as a serial device server sees it: a TCP listener that serves one client at
// a time. A second connection while one is served is accepted, logged and closed at once. Pulling
// drops the client and stops listening; plugging listens again on the same port (the port picked
// by the system when the simulator was started with port 0). Log lines go to standard error.
class TcpLink final : public Line {
public:
    struct Endpoint {
        std::string host = "127.0.0.1"; // numeric IPv4 or IPv6 address, without brackets
        int port = 0;                   // 0: a free port picked by the system
        bool operator==(const Endpoint&) const = default;
    };

    // "HOST:PORT", "[IPV6]:PORT", ":PORT" or "PORT" (127.0.0.1 then); nothing when malformed.
    [[nodiscard]] static std::optional<Endpoint> parseEndpoint(std::string_view text);

    explicit TcpLink(Endpoint endpoint);
    ~TcpLink() override;
    TcpLink(const TcpLink&) = delete;
    TcpLink& operator=(const TcpLink&) = delete;

    bool plug(std::string& result) override;
    void pull() override;
    [[nodiscard]] bool isPlugged() const override { return m_listener.isValid(); }

    [[nodiscard]] int dataFd() const override { return m_client.get(); }
    [[nodiscard]] int watchFd() const override { return m_listener.get(); }
    [[nodiscard]] bool hasClient() const override { return m_client.isValid(); }

    // Accepts waiting connections.
    bool handleWatchEvents() override;
    // The client closed its end (or the connection broke): it is dropped.
    bool handleEndOfInput() override;

    [[nodiscard]] unsigned generation() const override { return m_generation; }
    // HOST:PORT with the port actually listened on ([HOST]:PORT for IPv6).
    [[nodiscard]] std::string address() const override;

private:
    Endpoint m_endpoint;
    UniqueFd m_listener;
    UniqueFd m_client;
    unsigned m_generation = 0;
};

} // namespace sim

#include "TcpLink.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace sim {

namespace {

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

void log(const std::string& line) {
    std::fprintf(stderr, "climate-sim: %s\n", line.c_str());
    std::fflush(stderr);
}

std::string peerName(const sockaddr_storage& peer) {
    char text[INET6_ADDRSTRLEN] = {};
    if (peer.ss_family == AF_INET6) {
        const auto& address = reinterpret_cast<const sockaddr_in6&>(peer);
        ::inet_ntop(AF_INET6, &address.sin6_addr, text, sizeof(text));
        // Appended piece by piece: GCC 12 reports a false -Wrestrict on "literal" + string.
        std::string name = "[";
        name += text;
        name += "]:";
        name += std::to_string(ntohs(address.sin6_port));
        return name;
    }
    const auto& address = reinterpret_cast<const sockaddr_in&>(peer);
    ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof(text));
    return std::string(text) + ":" + std::to_string(ntohs(address.sin_port));
}

} // namespace

std::optional<TcpLink::Endpoint> TcpLink::parseEndpoint(std::string_view text) {
    Endpoint endpoint;
    std::string_view portText = text;
    if (const auto colon = text.rfind(':'); colon != std::string_view::npos) {
        std::string_view host = text.substr(0, colon);
        portText = text.substr(colon + 1);
        if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
            host = host.substr(1, host.size() - 2);
            in6_addr probe{};
            const std::string copy(host);
            if (::inet_pton(AF_INET6, copy.c_str(), &probe) != 1) {
                return std::nullopt;
            }
        } else if (!host.empty()) {
            in_addr probe{};
            const std::string copy(host);
            if (::inet_pton(AF_INET, copy.c_str(), &probe) != 1) {
                return std::nullopt;
            }
        }
        if (!host.empty()) {
            endpoint.host = std::string(host);
        }
    }
    int port = -1;
    const auto [end, error] =
        std::from_chars(portText.data(), portText.data() + portText.size(), port);
    if (portText.empty() || error != std::errc() || end != portText.data() + portText.size() ||
        port < 0 || port > 65535) {
        return std::nullopt;
    }
    endpoint.port = port;
    return endpoint;
}

TcpLink::TcpLink(Endpoint endpoint) : m_endpoint(std::move(endpoint)) {}

TcpLink::~TcpLink() {
    pull();
}

bool TcpLink::plug(std::string& result) {
    pull();
    const bool ipv6 = m_endpoint.host.find(':') != std::string::npos;
    UniqueFd listener(
        ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!listener.isValid()) {
        result = systemError("socket");
        return false;
    }
    const int on = 1;
    // Listening again on the same port right after the last client was dropped.
    ::setsockopt(listener.get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));

    sockaddr_storage address{};
    socklen_t size = 0;
    if (ipv6) {
        auto& v6 = reinterpret_cast<sockaddr_in6&>(address);
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(static_cast<std::uint16_t>(m_endpoint.port));
        ::inet_pton(AF_INET6, m_endpoint.host.c_str(), &v6.sin6_addr);
        size = sizeof(v6);
    } else {
        auto& v4 = reinterpret_cast<sockaddr_in&>(address);
        v4.sin_family = AF_INET;
        v4.sin_port = htons(static_cast<std::uint16_t>(m_endpoint.port));
        ::inet_pton(AF_INET, m_endpoint.host.c_str(), &v4.sin_addr);
        size = sizeof(v4);
    }
    if (::bind(listener.get(), reinterpret_cast<sockaddr*>(&address), size) != 0) {
        result = systemError("bind " + m_endpoint.host + ":" + std::to_string(m_endpoint.port));
        return false;
    }
    if (::listen(listener.get(), 4) != 0) {
        result = systemError("listen");
        return false;
    }
    // Port 0 becomes the port the system picked, kept for every later plug.
    if (::getsockname(listener.get(), reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        m_endpoint.port = ipv6 ? ntohs(reinterpret_cast<sockaddr_in6&>(address).sin6_port)
                               : ntohs(reinterpret_cast<sockaddr_in&>(address).sin_port);
    }
    m_listener = std::move(listener);
    ++m_generation;
    result = this->address();
    return true;
}

void TcpLink::pull() {
    if (!m_listener.isValid() && !m_client.isValid()) {
        return;
    }
    if (m_client.isValid()) {
        log("client dropped");
    }
    m_client.reset();
    m_listener.reset();
    ++m_generation;
}

bool TcpLink::handleWatchEvents() {
    bool fresh = false;
    for (;;) {
        sockaddr_storage peer{};
        socklen_t size = sizeof(peer);
        UniqueFd connection(::accept4(m_listener.get(), reinterpret_cast<sockaddr*>(&peer), &size,
                                      SOCK_NONBLOCK | SOCK_CLOEXEC));
        if (!connection.isValid()) {
            break;
        }
        if (m_client.isValid()) {
            log("connection from " + peerName(peer) + " closed: one client at a time");
            continue;
        }
        const int on = 1;
        ::setsockopt(connection.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
        log("client connected from " + peerName(peer));
        m_client = std::move(connection);
        fresh = true;
    }
    return fresh;
}

bool TcpLink::handleEndOfInput() {
    if (!m_client.isValid()) {
        return false;
    }
    log("client disconnected");
    m_client.reset();
    return true;
}

std::string TcpLink::address() const {
    const bool ipv6 = m_endpoint.host.find(':') != std::string::npos;
    std::string text;
    if (ipv6) {
        text += '[';
    }
    text += m_endpoint.host;
    if (ipv6) {
        text += ']';
    }
    text += ':';
    text += std::to_string(m_endpoint.port);
    return text;
}

} // namespace sim

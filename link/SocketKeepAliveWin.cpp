#include "SocketKeepAlive.h"

// Winsock first: the other two build on its types.
#include <winsock2.h>

#include <mstcpip.h>
#include <ws2tcpip.h>

#ifndef TCP_KEEPCNT
#define TCP_KEEPCNT 16 // ws2ipdef.h of newer SDKs than MinGW-w64's
#endif

namespace climate::link {

void setKeepAliveTiming(qintptr socket, int idleSeconds, int intervalSeconds, int probes) {
    const auto handle = static_cast<SOCKET>(socket);
    // The idle time and the interval, in milliseconds; every Windows has this.
    tcp_keepalive timing{};
    timing.onoff = 1;
    timing.keepalivetime = static_cast<ULONG>(idleSeconds) * 1000;
    timing.keepaliveinterval = static_cast<ULONG>(intervalSeconds) * 1000;
    DWORD returned = 0;
    ::WSAIoctl(handle, SIO_KEEPALIVE_VALS, &timing, sizeof(timing), nullptr, 0, &returned, nullptr,
               nullptr);
    // The number of probes is fixed at ten before Windows 10 1703, which refuses this option.
    const DWORD count = static_cast<DWORD>(probes);
    ::setsockopt(handle, IPPROTO_TCP, TCP_KEEPCNT, reinterpret_cast<const char*>(&count),
                 sizeof(count));
}

} // namespace climate::link

#include "SocketOptions.h"

#include <winsock2.h>
#include <ws2tcpip.h>

// From ws2ipdef.h of newer SDKs than MinGW-w64's.
#ifndef TCP_KEEPALIVE
#define TCP_KEEPALIVE 3
#endif
#ifndef TCP_KEEPCNT
#define TCP_KEEPCNT 16
#endif
#ifndef TCP_KEEPINTVL
#define TCP_KEEPINTVL 17
#endif

SocketOptions socketOptionsOf(qintptr socket) {
    const auto handle = static_cast<SOCKET>(socket);
    const auto option = [handle](int level, int name) {
        DWORD value = 0;
        int size = sizeof(value);
        return ::getsockopt(handle, level, name, reinterpret_cast<char*>(&value), &size) == 0
                   ? static_cast<int>(value)
                   : -1;
    };
    // TCP_KEEPALIVE is the idle time in seconds (Windows 10 1709 and later, and Wine).
    SocketOptions options{option(IPPROTO_TCP, TCP_NODELAY), option(SOL_SOCKET, SO_KEEPALIVE),
                          option(IPPROTO_TCP, TCP_KEEPALIVE), option(IPPROTO_TCP, TCP_KEEPINTVL),
                          option(IPPROTO_TCP, TCP_KEEPCNT)};
    options.timingReadable = options.keepIdleSeconds >= 0;
    return options;
}

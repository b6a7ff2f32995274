#include "SocketOptions.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

SocketOptions socketOptionsOf(qintptr socket) {
    const int fd = static_cast<int>(socket);
    const auto option = [fd](int level, int name) {
        int value = -1;
        socklen_t size = sizeof(value);
        return ::getsockopt(fd, level, name, &value, &size) == 0 ? value : -1;
    };
    return {option(IPPROTO_TCP, TCP_NODELAY), option(SOL_SOCKET, SO_KEEPALIVE),
            option(IPPROTO_TCP, TCP_KEEPIDLE), option(IPPROTO_TCP, TCP_KEEPINTVL),
            option(IPPROTO_TCP, TCP_KEEPCNT)};
}

#include "SocketKeepAlive.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

#include <utility>

namespace climate::link {

void setKeepAliveTiming(qintptr socket, int idleSeconds, int intervalSeconds, int probes) {
    const int descriptor = static_cast<int>(socket);
    for (const auto& [option, value] :
         {std::pair{TCP_KEEPIDLE, idleSeconds}, std::pair{TCP_KEEPINTVL, intervalSeconds},
          std::pair{TCP_KEEPCNT, probes}}) {
        ::setsockopt(descriptor, IPPROTO_TCP, option, &value, sizeof(value));
    }
}

} // namespace climate::link

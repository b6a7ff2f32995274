#pragma once

#include <QtGlobal>

namespace climate::link {

// Sets how soon a connected TCP socket probes an idle peer, how often, and how many unanswered
// probes drop the connection. Qt turns keep-alive on but has no API for its timing, and the
// systems' defaults wait two hours. Each system's calls are in SocketKeepAlivePosix.cpp and
// SocketKeepAliveWin.cpp; failures leave the system's timing.
void setKeepAliveTiming(qintptr socket, int idleSeconds, int intervalSeconds, int probes);

} // namespace climate::link

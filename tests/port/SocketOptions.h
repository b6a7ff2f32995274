#pragma once

#include <QtGlobal>

// A connected TCP socket's options as the system reports them (SocketOptionsPosix.cpp,
// SocketOptionsWin.cpp); -1 when it reports none.
struct SocketOptions {
    int noDelay = -1;
    int keepAlive = -1;
    int keepIdleSeconds = -1;
    int keepIntervalSeconds = -1;
    int keepProbes = -1;
    // Whether the system tells the keep-alive timing at all: Linux always does, Windows from
    // 10 1709 on, Wine 8 does not.
    bool timingReadable = true;
};
SocketOptions socketOptionsOf(qintptr socket);

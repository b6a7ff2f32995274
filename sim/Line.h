#pragma once

#include <string>

namespace sim {

// The simulator's end of the connection to the master: a pseudo-terminal or a TCP listener. All
// descriptors are non-blocking; the simulator polls them from its one loop.
class Line {
public:
    virtual ~Line() = default;

    // Sets the line up afresh (closing the current one). On success `result` is what the master
    // opens (the device path, or HOST:PORT), otherwise the reason.
    virtual bool plug(std::string& result) = 0;
    // Takes the line away: clients see a hang-up or a closed connection.
    virtual void pull() = 0;
    [[nodiscard]] virtual bool isPlugged() const = 0;

    // Where requests are read and replies written; -1 while there is nobody to talk to.
    [[nodiscard]] virtual int dataFd() const = 0;
    // What tells of clients coming and going (inotify, a listening socket); -1 when none.
    [[nodiscard]] virtual int watchFd() const = 0;
    // Whether someone is there to receive what is written.
    [[nodiscard]] virtual bool hasClient() const = 0;

    // Handles what is waiting on watchFd(). True when the stream starts afresh (the client left,
    // or a new one came), so whatever was on its way, or half received, is dropped.
    virtual bool handleWatchEvents() = 0;
    // dataFd() reported the end of the stream. True when the stream starts afresh.
    virtual bool handleEndOfInput() = 0;

    // Bumped by every plug and pull, so that callers can tell a descriptor went stale.
    [[nodiscard]] virtual unsigned generation() const = 0;
    // What the ready line names: the link path, or HOST:PORT.
    [[nodiscard]] virtual std::string address() const = 0;
};

} // namespace sim

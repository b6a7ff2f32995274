#pragma once

#include "UserMessage.h"

namespace climate::link {

class CommEngine;

// Whether the serial port is open (LinkState asks the port itself). The pages ask this one
// question before they post anything.
class PortGate {
public:
    [[nodiscard]] virtual bool portOpen() const = 0;

protected:
    ~PortGate() = default;
};

// The port is open; otherwise shows "ComPort Not Open!!" and returns false.
[[nodiscard]] bool portReady(const PortGate* port, CommEngine& engine);
// The port is open and no command is busy; otherwise shows why (`busy` for a busy engine) and
// returns false.
[[nodiscard]] bool mayPost(const PortGate* port, CommEngine& engine, const MessageText& busy);

} // namespace climate::link

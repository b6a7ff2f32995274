#pragma once

#include <cstddef>
#include <string>

namespace sim {

// What the console may do to the line besides talking to the model and the fault plan.
class LinkControl {
public:
    virtual ~LinkControl() = default;

    // Closes the pseudo-terminal so that a client sees a hang-up (over TCP: drops the client and
    // stops listening).
    virtual void pull() = 0;
    // Creates a fresh pseudo-terminal and points the link at it (over TCP: listens again). On
    // success `result` is the new device path (HOST:PORT), otherwise the reason.
    virtual bool plug(std::string& result) = 0;
    virtual void sendNoise(std::size_t count) = 0;
    virtual void quit() = 0;
};

} // namespace sim

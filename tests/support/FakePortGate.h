#pragma once

#include "link/PortGate.h"

// The port's state as a page test sets it: open unless the test closes it.
class FakePortGate final : public climate::link::PortGate {
public:
    [[nodiscard]] bool portOpen() const override { return open; }

    bool open = true;
};

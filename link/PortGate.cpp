#include "PortGate.h"

#include "CommEngine.h"
#include "Invariant.h"

namespace climate::link {

bool portReady(const PortGate* port, CommEngine& engine) {
    checkInvariant(port != nullptr, "a page without its port gate");
    if (!port->portOpen()) {
        engine.showMessage(toUserMessage(SharedMessages::PortNotOpen));
        return false;
    }
    return true;
}

bool mayPost(const PortGate* port, CommEngine& engine, const MessageText& busy) {
    if (!portReady(port, engine)) {
        return false;
    }
    if (engine.state().CommandBusy) {
        engine.showMessage(toUserMessage(busy));
        return false;
    }
    return true;
}

} // namespace climate::link

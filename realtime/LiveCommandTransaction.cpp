#include "LiveCommandTransaction.h"

#include "link/CommEngine.h"

ModbusFrame LiveCommandTransaction::request(const EngineState& state) const {
    return buildWriteSingle(static_cast<std::uint8_t>(state.DeviceAddress), shape().function,
                            shape().first, value());
}

std::function<void()> LiveCommandTransaction::whileAlive(std::function<void()> step) const {
    return [alive = std::weak_ptr<bool>(m_alive), step = std::move(step)] {
        if (!alive.expired()) {
            step();
        }
    };
}

void LiveCommandTransaction::onGood(CommEngine& engine) {
    EngineState& state = engine.state();
    state.LiveCommand = 0;
    state.LinkAliveTicks = LinkAliveAfterReply;
    const auto echo = static_cast<std::uint16_t>(state.RxFrame[4] << 8 | state.RxFrame[5]);
    const UserMessage message = acceptEcho(echo);
    engine.showMessage(message, whileAlive([this, &engine] {
                           afterReplyBoxClosed();
                           // A command posted while the box was open is already under way; the
                           // restart and the purge would drop it (and its reply) without a word.
                           if (engine.state().LiveCommand == 0) {
                               engine.restartPolling();
                               engine.purgeInput();
                           }
                           engine.MarkLinkAlive();
                       }));
}

void LiveCommandTransaction::onWrongHeader(CommEngine& engine) {
    engine.MarkLinkAlive();
    engine.restartPolling();
    engine.showMessage(failureMessage(), whileAlive([this] { afterReplyBoxClosed(); }));
}

void LiveCommandTransaction::onTimeout(CommEngine& engine) {
    engine.restartPolling();
    engine.showMessage(failureMessage());
}

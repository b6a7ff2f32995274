#include "Transaction.h"

#include "CommEngine.h"

void Transaction::onBadCrc(CommEngine& /*engine*/) {}

ModbusFrame ShapedTransaction::request(const EngineState& state) const {
    return buildReadRequest(static_cast<std::uint8_t>(state.DeviceAddress), m_shape);
}

void CommandTransaction::onWrongHeader(CommEngine& engine) {
    if (m_wrongHeaderIsSignOfLife) {
        engine.MarkLinkAlive();
    }
    engine.endCommand();
}

void CommandTransaction::onTimeout(CommEngine& engine) {
    engine.endCommand();
}

void PollTransaction::onGood(CommEngine& engine) {
    decode(engine);
    engine.purgeInput();
    engine.nextPollStep();
    afterDecode(engine);
    engine.MarkLinkAlive();
}

void PollTransaction::onWrongHeader(CommEngine& engine) {
    engine.MarkLinkAlive();
    engine.nextPollStep();
}

void PollTransaction::onBadCrc(CommEngine& engine) {
    if (m_moveOnAtBadCrc) {
        engine.nextPollStep();
        engine.purgeInput();
    }
}

void PollTransaction::onTimeout(CommEngine& engine) {
    engine.nextPollStep();
}

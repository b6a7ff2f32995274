#include "Transaction.h"

namespace climate::link {

void Transaction::onBadCrc(TransactionContext& /*context*/) {}

ModbusFrame ShapedTransaction::request(std::uint8_t deviceAddress) const {
    return buildReadRequest(deviceAddress, m_shape);
}

void CommandTransaction::onWrongHeader(TransactionContext& context) {
    if (m_wrongHeaderIsSignOfLife) {
        context.MarkLinkAlive();
    }
    context.endCommand();
}

void CommandTransaction::onTimeout(TransactionContext& context) {
    context.endCommand();
}

void PollTransaction::onGood(TransactionContext& context, std::span<const std::uint8_t> reply) {
    decode(reply);
    context.purgeInput();
    context.nextPollStep();
    afterDecode();
    context.MarkLinkAlive();
}

void PollTransaction::onWrongHeader(TransactionContext& context) {
    context.MarkLinkAlive();
    context.nextPollStep();
}

void PollTransaction::onBadCrc(TransactionContext& context) {
    if (m_moveOnAtBadCrc) {
        context.nextPollStep();
        context.purgeInput();
    }
}

void PollTransaction::onTimeout(TransactionContext& context) {
    context.nextPollStep();
}

} // namespace climate::link

#include "LiveCommandTransaction.h"

#include "link/CommEngine.h"

namespace climate::realtime {

using namespace climate::link;

ModbusFrame LiveCommandTransaction::request(std::uint8_t deviceAddress) const {
    return buildWriteSingle(deviceAddress, shape().function, shape().first, value());
}

void LiveCommandTransaction::onGood(TransactionContext& context,
                                    std::span<const std::uint8_t> reply) {
    context.endLiveCommand();
    context.keepLinkAliveFor(CommEngine::ShortLinkAlive);
    const auto echo = static_cast<std::uint16_t>(reply[4] << 8 | reply[5]);
    const UserMessage message = acceptEcho(echo);
    context.showMessage(message, [this](TransactionContext& closed) {
        afterReplyBoxClosed();
        // A command posted while the box was open is already under way; the restart and the
        // purge would drop it (and its reply) without a word.
        if (!closed.liveCommandPosted()) {
            closed.restartPolling();
            closed.purgeInput();
        }
        closed.MarkLinkAlive();
    });
}

void LiveCommandTransaction::onWrongHeader(TransactionContext& context) {
    context.MarkLinkAlive();
    context.restartPolling();
    context.showMessage(failureMessage(), [this](TransactionContext&) { afterReplyBoxClosed(); });
}

void LiveCommandTransaction::onTimeout(TransactionContext& context) {
    context.restartPolling();
    context.showMessage(failureMessage());
}

} // namespace climate::realtime

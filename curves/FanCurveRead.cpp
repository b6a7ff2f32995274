#include "FanCurveRead.h"

#include "link/CommEngine.h"

#include <array>

namespace climate::curves {

using namespace climate::link;

FanCurveRead::FanCurveRead(const RequestShape& shape, FanCurveRecords& records,
                           FanCurveRecords::Group group)
    : CommandTransaction(shape, FirstWaitMs), m_records(records), m_group(group) {}

void FanCurveRead::onGood(TransactionContext& context, std::span<const std::uint8_t> reply) {
    std::array<std::uint16_t, FanCurveParameters::RegisterCount> registers{};
    for (std::size_t k = 0; k < registers.size(); ++k) {
        registers[k] = replyRegister(reply, k);
    }
    m_records.readReceived(m_group, FanCurveParameters::fromRegisters(registers));
    context.readyToSend();
    context.purgeInput();
    context.MarkLinkAlive();
    context.keepLinkAliveFor(CommEngine::ShortLinkAlive);
    context.endCommand();
}

// Every end of a read leaves the engine ready to send, whatever page comes next.
void FanCurveRead::onWrongHeader(TransactionContext& context) {
    context.readyToSend();
    CommandTransaction::onWrongHeader(context);
}

void FanCurveRead::onTimeout(TransactionContext& context) {
    context.readyToSend();
    CommandTransaction::onTimeout(context);
}

} // namespace climate::curves

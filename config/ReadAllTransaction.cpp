#include "ReadAllTransaction.h"

#include "link/CommEngine.h"

namespace climate::config {

using namespace climate::link;

namespace {
constexpr int FirstWaitMs = 100;
}

ReadAllTransaction::ReadAllTransaction(std::function<void(const Registers&)> show)
    : CommandTransaction(Requests::ReadAll, FirstWaitMs), m_show(std::move(show)) {}

void ReadAllTransaction::onGood(TransactionContext& context, std::span<const std::uint8_t> reply) {
    Registers registers{};
    for (std::size_t k = 0; k < registers.size(); ++k) {
        registers[k] = replyRegister(reply, k);
    }
    m_show(registers);
    context.purgeInput();
    context.MarkLinkAlive();
    context.keepLinkAliveFor(CommEngine::ShortLinkAlive);
    context.endCommand();
}

} // namespace climate::config

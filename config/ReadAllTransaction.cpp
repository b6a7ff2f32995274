#include "ReadAllTransaction.h"

#include "link/CommEngine.h"

namespace {
constexpr int FirstWaitMs = 100;
}

ReadAllTransaction::ReadAllTransaction(std::function<void(const Registers&)> show)
    : CommandTransaction(Requests::ReadAll, FirstWaitMs), m_show(std::move(show)) {}

void ReadAllTransaction::onGood(CommEngine& engine) {
    Registers registers{};
    for (std::size_t k = 0; k < registers.size(); ++k) {
        registers[k] = engine.state().replyRegister(k);
    }
    m_show(registers);
    engine.purgeInput();
    engine.MarkLinkAlive();
    engine.state().LinkAliveTicks = 30;
    engine.endCommand();
}

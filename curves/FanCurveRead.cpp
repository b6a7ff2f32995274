#include "FanCurveRead.h"

#include "FanCurvePoints.h"

#include "link/CommEngine.h"
#include "widgets/XYPlot.h"

#include <array>

namespace climate::curves {

using namespace climate::link;
using namespace climate::widgets;

FanCurveRead::FanCurveRead(const RequestShape& shape, XYPlot* plot, int channel)
    : CommandTransaction(shape, FirstWaitMs), m_plot(plot), m_channel(channel) {}

void FanCurveRead::onGood(TransactionContext& context, std::span<const std::uint8_t> reply) {
    std::array<std::uint16_t, FanCurveParameters::RegisterCount> registers{};
    for (std::size_t k = 0; k < registers.size(); ++k) {
        registers[k] = replyRegister(reply, k);
    }
    m_parameters = FanCurveParameters::fromRegisters(registers);
    draw();

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

void FanCurveRead::draw() {
    if (m_plot == nullptr) {
        return;
    }
    m_plot->setPoints(m_channel, fanCurvePoints(m_parameters));
}

} // namespace climate::curves

#include "FanCurveRead.h"

#include "FanCurvePoints.h"

#include "link/CommEngine.h"
#include "widgets/XYPlot.h"

#include <array>

FanCurveRead::FanCurveRead(const RequestShape& shape, XYPlot* plot, int channel)
    : CommandTransaction(shape, FirstWaitMs), m_plot(plot), m_channel(channel) {}

void FanCurveRead::onGood(CommEngine& engine) {
    EngineState& state = engine.state();
    std::array<std::uint16_t, FanCurveParameters::RegisterCount> registers{};
    for (std::size_t k = 0; k < registers.size(); ++k) {
        registers[k] = state.replyRegister(k);
    }
    m_parameters = FanCurveParameters::fromRegisters(registers);
    draw();

    state.SendPending = 1;
    engine.purgeInput();
    engine.MarkLinkAlive();
    state.LinkAliveTicks = LinkAliveAfterRead;
    engine.endCommand();
}

// Every end of a read leaves the engine ready to send, whatever page comes next.
void FanCurveRead::onWrongHeader(CommEngine& engine) {
    CommandTransaction::onWrongHeader(engine);
    engine.state().SendPending = 1;
}

void FanCurveRead::onTimeout(CommEngine& engine) {
    CommandTransaction::onTimeout(engine);
    engine.state().SendPending = 1;
}

void FanCurveRead::draw() {
    if (m_plot == nullptr) {
        return;
    }
    m_plot->clearChannel(m_channel);
    for (const QPointF& point : fanCurvePoints(m_parameters)) {
        m_plot->addPoint(m_channel, point.x(), point.y());
    }
}

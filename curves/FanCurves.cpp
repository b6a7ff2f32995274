#include "FanCurves.h"

#include "link/CommEngine.h"
#include "link/PortGate.h"
#include "widgets/XYPlot.h"

namespace climate::curves {

using namespace climate::link;
using namespace climate::widgets;

FanCurves::FanCurves(CommEngine& engine, const CurveView& view)
    : m_engine(engine), m_view(view), m_intfan(Requests::DrawIntfan, view.iXYPlot1, IntfanChannel),
      m_extfan(Requests::DrawExtfan, view.iXYPlot1, ExtfanChannel),
      m_intfanRegistration(m_engine.registerTransaction(CommEngine::Table::DeclarationCommand,
                                                        DrawIntfanCode, m_intfan)),
      m_extfanRegistration(m_engine.registerTransaction(CommEngine::Table::DeclarationCommand,
                                                        DrawExtfanCode, m_extfan)) {}

FanCurves::~FanCurves() = default;

void FanCurves::Button16Click() {
    postDraw(DrawIntfanCode, IntfanChannel, ExtfanChannel);
}

void FanCurves::Button17Click() {
    postDraw(DrawExtfanCode, ExtfanChannel, IntfanChannel);
}

void FanCurves::postDraw(std::uint8_t code, int channel, int otherChannel) {
    // Both buttons use the same busy caption.
    if (!mayPost(m_view.port, m_engine, SharedMessages::Busy)) {
        return;
    }
    if (XYPlot* plot = m_view.iXYPlot1) {
        plot->clearChannel(channel);
        plot->setChannelLayer(channel, TopLayer);
        plot->setChannelLayer(otherChannel, LowerLayer);
    }
    m_engine.postCommand(code);
}

} // namespace climate::curves

#include "FanCurves.h"

#include "link/CommEngine.h"
#include "link/UserMessage.h"
#include "widgets/XYPlot.h"

#include <QPushButton>

namespace {

UserMessage messageBox(const char* text, const char* caption) {
    UserMessage message;
    message.text = text;
    message.caption = caption;
    return message;
}

} // namespace

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

bool FanCurves::portIsOpen() const {
    return m_view.Button1 != nullptr && m_view.Button1->text() != QStringLiteral("Open");
}

void FanCurves::postDraw(std::uint8_t code, int channel, int otherChannel) {
    if (!portIsOpen()) {
        m_engine.showMessage(messageBox("ComPort Not Open!!", "Comm Error"));
        return;
    }
    if (m_engine.state().CommandBusy) {
        // Both buttons use the same caption.
        m_engine.showMessage(messageBox("Systerm Busy,Please Wait", "Set Intfan1!"));
        return;
    }
    if (XYPlot* plot = m_view.iXYPlot1) {
        plot->clearChannel(channel);
        plot->setChannelLayer(channel, TopLayer);
        plot->setChannelLayer(otherChannel, LowerLayer);
    }
    m_engine.postCommand(code);
}

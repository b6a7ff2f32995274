#include "CompressorSettingsStep.h"

#include "LiveDataDecoding.h"
#include "LiveDisplay.h"
#include "link/CommEngine.h"

CompressorSettingsStep::CompressorSettingsStep(LiveData& live, const RealTimeView& view)
    : PollTransaction(Requests::PollCompressorSettings), m_live(live), m_view(view) {}

void CompressorSettingsStep::decode(CommEngine& engine) {
    decodeCompressorSettings(engine.state(), m_live);
    showCompressorSettings(m_live, m_view);
}

#include "StatusCoilsStep.h"

#include "LiveDataDecoding.h"
#include "LiveDisplay.h"
#include "link/CommEngine.h"

StatusCoilsStep::StatusCoilsStep(LiveData& live, const RealTimeView& view)
    : PollTransaction(Requests::PollCoils), m_live(live), m_view(view) {}

void StatusCoilsStep::decode(CommEngine& engine) {
    decodeStatusCoils(engine.state(), m_live);
    showStatusCoils(m_live, m_view);
}

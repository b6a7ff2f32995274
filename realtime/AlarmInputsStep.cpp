#include "AlarmInputsStep.h"

#include "LiveDataDecoding.h"
#include "link/CommEngine.h"

AlarmInputsStep::AlarmInputsStep(LiveData& live)
    : PollTransaction(Requests::PollAlarmInputs, /*moveOnAtBadCrc=*/true), m_live(live) {}

void AlarmInputsStep::decode(CommEngine& engine) {
    decodeAlarmInputs(engine.state(), m_live);
}

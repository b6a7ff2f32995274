#include "PollSteps.h"

namespace climate::realtime {

PollStep::PollStep(const PollRead& read, LiveDataModel& model)
    : PollTransaction(read.shape(), read.moveOnAtBadCrc), m_read(read), m_model(model) {}

void PollStep::decode(std::span<const std::uint8_t> reply) {
    m_read.decode(reply, m_model.record());
}

void PollStep::afterDecode() {
    m_model.groupDecoded(m_read.group);
}

} // namespace climate::realtime

#include "ForcedOutputCommand.h"

namespace climate::realtime {

using namespace climate::link;

ForcedOutputCommand::ForcedOutputCommand(LiveCommandInputs& inputs)
    : LiveCommandTransaction(Requests::ForcedOutput), m_inputs(inputs) {}

UserMessage ForcedOutputCommand::failureMessage() const {
    return UserMessage("Force Fail!", "Force Status");
}

UserMessage ForcedOutputCommand::acceptEcho(std::uint16_t echo) {
    if (echo != m_forceCoilValue) {
        return failureMessage();
    }
    // Only the two values the rocker can ask for are ever written.
    m_inputs.setRockerOn(m_forceCoilValue == ForceOn);
    return UserMessage("Force Successfully!", "Force Status");
}

} // namespace climate::realtime

#include "ForcedOutputCommand.h"

#include "widgets/RockerSwitch.h"

namespace climate::realtime {

using namespace climate::link;
using namespace climate::widgets;

ForcedOutputCommand::ForcedOutputCommand(RockerSwitch* rocker)
    : LiveCommandTransaction(Requests::ForcedOutput), m_rocker(rocker) {}

UserMessage ForcedOutputCommand::failureMessage() const {
    return UserMessage("Force Fail!", "Force Status");
}

UserMessage ForcedOutputCommand::acceptEcho(std::uint16_t echo) {
    if (echo != m_forceCoilValue) {
        return failureMessage();
    }
    // Only the two values the rocker can ask for are ever written.
    m_rocker->setOn(m_forceCoilValue == ForceOn);
    return UserMessage("Force Successfully!", "Force Status");
}

} // namespace climate::realtime

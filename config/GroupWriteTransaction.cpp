#include "GroupWriteTransaction.h"

#include "ParameterGroups.h"

#include "link/CommEngine.h"

namespace climate::config {

using namespace climate::link;

namespace {

constexpr int FirstWaitMs = 200;
constexpr std::uint32_t EchoLength = 8; // address, 16, first register, quantity, CRC

RequestShape shapeOf(const ParameterGroup& group) {
    return {16, group.firstRegister, group.registerCount, EchoLength};
}

// The fan and heater writes count a reply with a wrong header as a sign of life, and leave the link
// counter at its full reload after a success; the other writes shorten it.
bool isFanOrHeaterWrite(ConfigCommand command) {
    return command == ConfigCommand::SetInternalFan || command == ConfigCommand::SetExternalFan ||
           command == ConfigCommand::SetHeater;
}

} // namespace

GroupWriteTransaction::GroupWriteTransaction(const ParameterGroup& group,
                                             const ControllerParameters& parameters)
    : CommandTransaction(shapeOf(group), FirstWaitMs, isFanOrHeaterWrite(group.command)),
      m_group(group), m_parameters(parameters) {}

ModbusFrame GroupWriteTransaction::request(std::uint8_t deviceAddress) const {
    return buildGroupFrame(m_group, m_parameters, deviceAddress);
}

void GroupWriteTransaction::onGood(TransactionContext& context,
                                   std::span<const std::uint8_t> /*reply*/) {
    // Taken before the command ends: ending it runs the poster's callback, and Set All's posts its
    // next group from there or, after the last one, lets the groups announce again.
    const bool announce = m_announce;
    context.endCommand();
    context.purgeInput();

    const ConfigCommand command = m_group.command;
    // The address this write carried; no other Set can have staged a new one while it was busy.
    const auto acceptedAddress = static_cast<std::uint32_t>(m_parameters.Address);
    const auto refreshLink = [command, acceptedAddress](TransactionContext& closed) {
        closed.MarkLinkAlive();
        if (command == ConfigCommand::SetAddress) {
            closed.switchDeviceAddress(acceptedAddress);
        }
        if (!isFanOrHeaterWrite(command)) {
            closed.keepLinkAliveFor(CommEngine::ShortLinkAlive);
        }
    };
    if (!announce) {
        refreshLink(context);
        return;
    }
    context.showMessage(toUserMessage(m_group.success), refreshLink);
}

} // namespace climate::config

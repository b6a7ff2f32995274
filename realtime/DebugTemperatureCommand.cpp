#include "DebugTemperatureCommand.h"

#include "link/NumberText.h"

namespace climate::realtime {

using namespace climate::link;

std::int16_t debugTemperatureValue(std::string_view text) {
    const DecimalNumber temperature = DecimalNumber::parse(text);
    if (temperature.compare(-40) < 0 || temperature.compare(100) >= 0) {
        return DebugTemperatureCommand::OutOfRange;
    }
    // Within -40 ... below 100 the tenths fit 16 bits: -400 ... 999.
    return static_cast<std::int16_t>(temperature.truncatedTenths());
}

DebugTemperatureCommand::DebugTemperatureCommand(LiveCommandInputs& inputs)
    : LiveCommandTransaction(Requests::DebugTemperature), m_inputs(inputs) {}

std::uint16_t DebugTemperatureCommand::value() const {
    return static_cast<std::uint16_t>(m_debugTempValue);
}

UserMessage DebugTemperatureCommand::failureMessage() const {
    return UserMessage("Adopt Realtime Temperature!!", "Set Unsuccessfully");
}

UserMessage DebugTemperatureCommand::acceptEcho(std::uint16_t echo) {
    if (echo == value()) {
        return UserMessage("Adopt Realtime Temperature!!", "Set Correctly");
    }
    return UserMessage("Adopt Simulant Temperature!!", "Set Correctly");
}

void DebugTemperatureCommand::afterReplyBoxClosed() {
    m_inputs.setDebugTemperatureText(QString());
}

} // namespace climate::realtime

#pragma once

#include "link/UserMessage.h"

#include <cstdint>

namespace climate::config {

// Codes of the Configuration page's commands in PendingCommand.
enum class ConfigCommand : std::uint8_t {
    SetInternalFan = 0,
    SetExternalFan = 1,
    SetHeater = 2,
    SetTempAlarm = 3,
    SetCalibration = 4,
    SetExtInput = 5,
    SetAddress = 6,
    SetVoltageAlarm = 7,
    SetCompressor = 8,
    ReadAll = 9,
    ReadFirmwareVersion = 10,
    SetHeatExchanger = 11,
};

[[nodiscard]] constexpr std::uint8_t codeOf(ConfigCommand command) {
    return static_cast<std::uint8_t>(command);
}

namespace ConfigMessages {
inline constexpr link::MessageText OutOfRange{"Data out of range!!", "Set Unsuccessfully"};
} // namespace ConfigMessages

} // namespace climate::config

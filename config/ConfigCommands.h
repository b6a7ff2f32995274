#pragma once

#include "link/Commands.h"
#include "link/UserMessage.h"

namespace climate::config {

// Codes of the Configuration page's commands in PendingCommand: the engine's table of them.
using link::codeOf;
using link::ConfigCommand;

namespace ConfigMessages {
inline constexpr link::MessageText OutOfRange{"Data out of range!!", "Set Unsuccessfully"};
} // namespace ConfigMessages

} // namespace climate::config

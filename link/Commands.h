#pragma once

#include "ModbusFrame.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

namespace climate::link {

// One command of a page's table: the code that selects it, the name the bus monitor gives its
// exchanges, and the fixed request it sends with what that request reads or writes. A group
// write has no fixed request: its registers are the group's, which the register table states.
struct CommandRow {
    std::uint8_t code = 0;
    const char* name = "";
    const RequestShape* request = nullptr;
    const char* reads = nullptr; // what `request` reads or writes, as the bus monitor names it
};

// The Configuration page's commands (PendingCommand).
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

inline constexpr std::array<CommandRow, 12> ConfigurationCommands{{
    {codeOf(ConfigCommand::SetInternalFan), "Internal Fan Set"},
    {codeOf(ConfigCommand::SetExternalFan), "External Fan Set"},
    {codeOf(ConfigCommand::SetHeater), "Heater Set"},
    {codeOf(ConfigCommand::SetTempAlarm), "Temp. Alarm Set"},
    {codeOf(ConfigCommand::SetCalibration), "Calibration Set"},
    {codeOf(ConfigCommand::SetExtInput), "ExtInput Set"},
    {codeOf(ConfigCommand::SetAddress), "Address Set"},
    {codeOf(ConfigCommand::SetVoltageAlarm), "VoltageAlarm Set"},
    {codeOf(ConfigCommand::SetCompressor), "Compressor Set"},
    {codeOf(ConfigCommand::ReadAll), "All Read", &Requests::ReadAll, "all parameters"},
    {codeOf(ConfigCommand::ReadFirmwareVersion), "FW Version Read", &Requests::ReadFirmwareVersion,
     "firmware version"},
    {codeOf(ConfigCommand::SetHeatExchanger), "Heat Exchanger Set"},
}};

// The rows that a feature posts by their code.
namespace Command {
inline constexpr CommandRow DrawIntfan{1, "DrawIntfan", &Requests::DrawIntfan,
                                       "internal fan curve"};
inline constexpr CommandRow DrawExtfan{2, "DrawExtfan", &Requests::DrawExtfan,
                                       "external fan curve"};
inline constexpr CommandRow DebugTemperature{1, "debug temperature", &Requests::DebugTemperature,
                                             "debug temperature"};
inline constexpr CommandRow ForcedOutput{2, "forced output", &Requests::ForcedOutput,
                                         "forced output"};
} // namespace Command

// The Declaration page's commands (PendingCommand while that page is shown).
inline constexpr std::array<CommandRow, 2> DeclarationCommands{
    {Command::DrawIntfan, Command::DrawExtfan}};

// The RealTimeData page's polling circle, in order (PollStep).
inline constexpr std::array<CommandRow, 4> PollStepCommands{{
    {0, "status coils", &Requests::PollCoils, "status coils"},
    {1, "alarm inputs", &Requests::PollAlarmInputs, "alarm inputs"},
    {2, "compressor settings", &Requests::PollCompressorSettings, "compressor settings"},
    {3, "measurements", &Requests::PollMeasurements, "measurements"},
}};

// The RealTimeData page's live commands (LiveCommand; 0 is none).
inline constexpr std::array<CommandRow, 2> LiveCommands{
    {Command::DebugTemperature, Command::ForcedOutput}};

// Every table, for those that look a request up by its shape.
inline constexpr std::array<std::span<const CommandRow>, 4> CommandTables{
    PollStepCommands, ConfigurationCommands, DeclarationCommands, LiveCommands};

// The lowest code of a table, and one past its highest: the places an engine table needs.
[[nodiscard]] constexpr std::uint8_t firstCode(std::span<const CommandRow> rows) {
    return std::ranges::min(rows, {}, &CommandRow::code).code;
}
[[nodiscard]] constexpr std::size_t codeCount(std::span<const CommandRow> rows) {
    return std::size_t{std::ranges::max(rows, {}, &CommandRow::code).code} + 1;
}

// The row of `code`, or nullptr.
[[nodiscard]] constexpr const CommandRow* findCommand(std::span<const CommandRow> rows,
                                                      std::uint8_t code) {
    const auto found = std::ranges::find(rows, code, &CommandRow::code);
    return found == rows.end() ? nullptr : &*found;
}

// Each Configuration command stands at its own code.
static_assert(std::ranges::all_of(ConfigurationCommands, [](const CommandRow& row) {
    return &row == &ConfigurationCommands[row.code];
}));

} // namespace climate::link

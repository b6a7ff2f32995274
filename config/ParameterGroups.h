#pragma once

#include "ConfigCommands.h"
#include "ControllerParameters.h"
#include "HoldingRegisters.h"

#include "link/ModbusFrame.h"
#include "link/NumberText.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace climate::config {

class FieldSource;

// One "Set" of the page: its caption and messages, and the registers it writes, taken from the
// register table.
struct ParameterGroup {
    ConfigCommand command = ConfigCommand::SetInternalFan;
    const char* caption = ""; // the title of the group's box on the page
    link::MessageText busy;
    link::MessageText success;
    std::uint16_t firstRegister = 0;
    std::uint16_t registerCount = 0;
    std::vector<const HoldingRegister*> fields; // in the order the handler converts them
};

// The ten group writes, Internal Fan to Heat Exchanger.
[[nodiscard]] std::span<const ParameterGroup> parameterGroups();
// The group of a write command; throws std::logic_error for a command that is not one of the ten.
[[nodiscard]] const ParameterGroup& parameterGroup(ConfigCommand command);

// The field a group's staging refused: the first text that does not convert (every field is
// converted before any range is looked at), else the first value out of its range.
struct GroupRefusal {
    const HoldingRegister* field = nullptr;
    std::optional<link::ConversionError> notConverted; // none: converted, but out of range
};

// Converts, checks and, only when every value fits, stores the group into `parameters`;
// otherwise names the field it refused and leaves `parameters` as it was.
[[nodiscard]] std::optional<GroupRefusal> stageOrRefuse(const ParameterGroup& group,
                                                        const FieldSource& fields,
                                                        ControllerParameters& parameters);

// The group's own Set: as stageOrRefuse(), but false when a value is out of range and
// ConversionError thrown for a text that does not convert.
bool stageGroup(const ParameterGroup& group, const FieldSource& fields,
                ControllerParameters& parameters);

// The register words of the group, in register order, from the staged values.
[[nodiscard]] std::vector<std::uint16_t> groupWords(const ParameterGroup& group,
                                                    const ControllerParameters& parameters);

// Write Multiple Registers request of the group to `address`.
[[nodiscard]] link::ModbusFrame buildGroupFrame(const ParameterGroup& group,
                                                const ControllerParameters& parameters,
                                                std::uint8_t address);

} // namespace climate::config

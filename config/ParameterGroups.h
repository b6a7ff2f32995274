#pragma once

#include "ConfigCommands.h"
#include "ControllerParameters.h"
#include "RegisterMap.h"

#include "link/ModbusFrame.h"

#include <cstdint>
#include <span>
#include <vector>

class FieldSource;

// How a Set command turns a field into a number.
enum class ConversionRule : std::uint8_t {
    Integer,     // whole number, signed 32-bit
    Tenths,      // decimal number times 10, truncated toward zero, exactly as typed
    WholeTenths, // whole number times 10
    Item,        // index of the selected combo item, -1 when none
};

// Values a field accepts: the width the controller holds it in, or the narrower range the
// controller allows. Both ends included.
struct ValueRange {
    std::int64_t lowest = 0;
    std::int64_t highest = 0;
};

// Where a field's value is staged in ControllerParameters.
struct ParameterSlot {
    void (*store)(ControllerParameters&, std::int64_t) = nullptr;
    std::int64_t (*load)(const ControllerParameters&) = nullptr;
};

struct GroupField {
    Control control;
    ConversionRule rule = ConversionRule::Integer;
    ValueRange range;
    std::uint16_t reg = 0; // the holding register the value is written to
    ParameterSlot slot;
};

// One "Set" of the page: its fields, the registers it writes and its messages.
struct ParameterGroup {
    ConfigCommand command = ConfigCommand::SetInternalFan;
    std::uint16_t firstRegister = 0;
    std::uint16_t registerCount = 0;
    std::span<const GroupField> fields; // in the order the handler converts them
    MessageText busy;
    MessageText success;
};

// The ten group writes, Internal Fan to Heat Exchanger.
[[nodiscard]] std::span<const ParameterGroup> parameterGroups();
// The group of a write command; `command` must be one of the ten.
[[nodiscard]] const ParameterGroup& parameterGroup(ConfigCommand command);

// Every field of the group converted by its rule, in field order. A text that is not a number
// throws ConversionError before any range is looked at.
[[nodiscard]] std::vector<std::int64_t> convertFields(const ParameterGroup& group,
                                                      const FieldSource& fields);

// True when every value lies in its field's range (so an unselected combo box fails too).
[[nodiscard]] bool fitRanges(const ParameterGroup& group, std::span<const std::int64_t> values);

// Converts, checks and, only when every value fits, stores the group into `parameters`. False when
// a value is out of range; throws ConversionError for a text that does not convert.
bool stageGroup(const ParameterGroup& group, const FieldSource& fields,
                ControllerParameters& parameters);

// The register words of the group, in register order, from the staged values.
[[nodiscard]] std::vector<std::uint16_t> groupWords(const ParameterGroup& group,
                                                    const ControllerParameters& parameters);

// Write Multiple Registers request of the group to `address`.
[[nodiscard]] ModbusFrame buildGroupFrame(const ParameterGroup& group,
                                          const ControllerParameters& parameters,
                                          std::uint8_t address);

#include "ParameterGroups.h"

#include "FieldSource.h"

#include "link/Invariant.h"
#include "link/UserMessage.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

namespace climate::config {

using namespace climate::link;

namespace {

using SharedMessages::BusyText;

// What the register table does not say about a group: its box's title and its messages.
struct GroupTexts {
    ConfigCommand command;
    const char* caption;
    MessageText busy;
    MessageText success;
};

constexpr std::array<GroupTexts, 10> Texts{{
    {.command = ConfigCommand::SetInternalFan,
     .caption = "Internal Fan",
     .busy = {BusyText, "Set Intfan1!"},
     .success = {"Set Successfully!", "Set Intfan1"}},
    {.command = ConfigCommand::SetExternalFan,
     .caption = "External Fan ",
     .busy = {BusyText, "Set Extfan1!"},
     .success = {"Set Successfully", "Set Extfan1!"}},
    // The Heater group's busy box has its two strings the other way round.
    {.command = ConfigCommand::SetHeater,
     .caption = "Heater ",
     .busy = {"Set Heater!", BusyText},
     .success = {"Set Successfully", "Set Heater!"}},
    {.command = ConfigCommand::SetTempAlarm,
     .caption = "Temp.  Alarm",
     .busy = {BusyText, "Set Alarm TEMP!"},
     .success = {"Set Successfully", "Set Alarm TEMP"}},
    {.command = ConfigCommand::SetCalibration,
     .caption = "Calibration",
     .busy = {BusyText, "Calibrate Temp!"},
     .success = {"Set Successfully", "Calibrate Temp"}},
    {.command = ConfigCommand::SetExtInput,
     .caption = "ExtInput ",
     .busy = {BusyText, "Set Intfan1!"},
     .success = {"Set Successfully", "Extinput Option"}},
    {.command = ConfigCommand::SetAddress,
     .caption = "Address",
     .busy = {BusyText, "Set Intfan1!"},
     .success = {"Set Successfully", "Extinput Option"}},
    {.command = ConfigCommand::SetVoltageAlarm,
     .caption = "VoltageAlarm",
     .busy = {BusyText, "Set Alarm TEMP!"},
     .success = {"Set Successfully", "Set Alarm Voltage"}},
    {.command = ConfigCommand::SetCompressor,
     .caption = "Compressor",
     .busy = {BusyText, "Set Alarm TEMP!"},
     .success = {"Set Successfully", "Set Compressor"}},
    {.command = ConfigCommand::SetHeatExchanger,
     .caption = "Heat Exchanger",
     .busy = {BusyText, "Set Alarm TEMP!"},
     .success = {"Set Successfully", "Set Heat Exchanger"}},
}};

ParameterGroup deriveGroup(const GroupTexts& texts) {
    ParameterGroup group{.command = texts.command,
                         .caption = texts.caption,
                         .busy = texts.busy,
                         .success = texts.success,
                         .fields = groupRegisters(texts.command)};
    if (group.fields.empty()) {
        throw std::logic_error(std::string("no register of group ") + texts.caption);
    }
    // The table guarantees each group's registers are one run (checked when it is compiled).
    const auto [lowest, highest] = std::ranges::minmax(group.fields, {}, &HoldingRegister::reg);
    group.firstRegister = lowest->reg;
    group.registerCount = static_cast<std::uint16_t>(highest->reg - lowest->reg + 1);
    return group;
}

const std::array<ParameterGroup, 10>& groups() {
    static const std::array<ParameterGroup, 10> derived = [] {
        std::array<ParameterGroup, 10> all;
        std::ranges::transform(Texts, all.begin(), deriveGroup);
        return all;
    }();
    return derived;
}

std::int64_t convert(const HoldingRegister& field, const FieldSource& fields) {
    if (field.control.kind == Control::Kind::ComboBox) {
        return fields.selectedItem(field.control.number);
    }
    return convertText(field, fields.editText(field.control.number));
}

} // namespace

std::span<const ParameterGroup> parameterGroups() {
    return groups();
}

const ParameterGroup& parameterGroup(ConfigCommand command) {
    for (const ParameterGroup& group : groups()) {
        if (group.command == command) {
            return group;
        }
    }
    throw std::logic_error("command " + std::to_string(codeOf(command)) + " is not a group write");
}

std::optional<GroupRefusal> stageOrRefuse(const ParameterGroup& group, const FieldSource& fields,
                                          ControllerParameters& parameters) {
    std::vector<std::int64_t> values;
    values.reserve(group.fields.size());
    for (const HoldingRegister* field : group.fields) {
        try {
            values.push_back(convert(*field, fields));
        } catch (const ConversionError& error) {
            return GroupRefusal{field, error};
        }
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (!fitsRange(*group.fields[i], values[i])) {
            return GroupRefusal{group.fields[i], std::nullopt};
        }
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        group.fields[i]->slot.store(parameters, values[i]);
    }
    return std::nullopt;
}

bool stageGroup(const ParameterGroup& group, const FieldSource& fields,
                ControllerParameters& parameters) {
    const std::optional<GroupRefusal> refusal = stageOrRefuse(group, fields, parameters);
    if (refusal && refusal->notConverted) {
        throw *refusal->notConverted;
    }
    return !refusal;
}

std::vector<std::uint16_t> groupWords(const ParameterGroup& group,
                                      const ControllerParameters& parameters) {
    std::vector<std::uint16_t> words(group.registerCount, 0);
    for (const HoldingRegister* field : group.fields) {
        words.at(field->reg - group.firstRegister) = registerWord(field->slot.load(parameters));
    }
    return words;
}

ModbusFrame buildGroupFrame(const ParameterGroup& group, const ControllerParameters& parameters,
                            std::uint8_t address) {
    const std::vector<std::uint16_t> words = groupWords(group, parameters);
    return buildWriteMultiple(address, group.firstRegister, words);
}

} // namespace climate::config

#include "ParameterGroups.h"

#include "FieldSource.h"

#include "link/Invariant.h"
#include "link/NumberText.h"

#include <array>
#include <type_traits>

namespace {

// The widths the controller holds its settings in, and the ranges it allows.
constexpr ValueRange Speed{0, 65535};           // unsigned 16-bit RPM
constexpr ValueRange SignedWord{-32768, 32767}; // signed 16-bit register
constexpr ValueRange Byte{0, 255};              // 8-bit register
constexpr ValueRange ItemSelected{0, 1};        // "Disable"/"Enable", "NO"/"NC"
constexpr ValueRange SlaveAddress{1, 255};
constexpr ValueRange HighVoltage{500, 700}; // tenths of a volt
constexpr ValueRange LowVoltage{240, 470};

constexpr ConversionRule Integer = ConversionRule::Integer;
constexpr ConversionRule Tenths = ConversionRule::Tenths;
constexpr ConversionRule WholeTenths = ConversionRule::WholeTenths;
constexpr ConversionRule Item = ConversionRule::Item;

// Slot of field `Field` of the record member `Member`.
template <auto Member, auto Field> constexpr ParameterSlot slot() {
    return {[](ControllerParameters& parameters, std::int64_t value) {
                auto& field = (parameters.*Member).*Field;
                field = static_cast<std::remove_reference_t<decltype(field)>>(value);
            },
            [](const ControllerParameters& parameters) -> std::int64_t {
                return (parameters.*Member).*Field;
            }};
}

constexpr ParameterSlot AddressSlot{
    [](ControllerParameters& parameters, std::int64_t value) {
        parameters.Address = static_cast<std::int32_t>(value);
    },
    [](const ControllerParameters& parameters) -> std::int64_t { return parameters.Address; }};

using P = ControllerParameters;
using Fan = FanGroupParameters;

// The fan groups convert DeltTemp before StopTemp although StopTemp comes first in the registers.
template <auto Group>
constexpr std::array<GroupField, 11> fanFields(std::uint16_t base, std::array<int, 9> edits,
                                               int fan1Combo, int fan2Combo) {
    return {{
        {edit(edits[0]), Integer, Speed, std::uint16_t(base + 0), slot<Group, &Fan::StepRev>()},
        {edit(edits[1]), Integer, Speed, std::uint16_t(base + 1), slot<Group, &Fan::MaxRev>()},
        {edit(edits[2]), Integer, Speed, std::uint16_t(base + 2), slot<Group, &Fan::MinRev>()},
        {edit(edits[3]), Tenths, SignedWord, std::uint16_t(base + 3),
         slot<Group, &Fan::StepTemp>()},
        {edit(edits[4]), Tenths, SignedWord, std::uint16_t(base + 4), slot<Group, &Fan::MaxTemp>()},
        {edit(edits[5]), Tenths, SignedWord, std::uint16_t(base + 5), slot<Group, &Fan::MinTemp>()},
        {edit(edits[6]), Tenths, SignedWord, std::uint16_t(base + 7),
         slot<Group, &Fan::DeltTemp>()},
        {edit(edits[7]), Tenths, SignedWord, std::uint16_t(base + 6),
         slot<Group, &Fan::StopTemp>()},
        {edit(edits[8]), Integer, Byte, std::uint16_t(base + 8), slot<Group, &Fan::PluseNo>()},
        {comboBox(fan1Combo), Item, ItemSelected, std::uint16_t(base + 9),
         slot<Group, &Fan::Fan1Enable>()},
        {comboBox(fan2Combo), Item, ItemSelected, std::uint16_t(base + 10),
         slot<Group, &Fan::Fan2Enable>()},
    }};
}

// Edits in conversion order: StepRev, MaxRev, MinRev, StepTemp, MaxTemp, MinTemp, DeltTemp,
// StopTemp, PluseNo.
constexpr auto InternalFanFields =
    fanFields<&P::InternalFan>(0, {12, 5, 13, 14, 27, 9, 7, 6, 41}, 1, 2);
constexpr auto ExternalFanFields =
    fanFields<&P::ExternalFan>(11, {34, 8, 35, 36, 37, 15, 39, 38, 40}, 3, 4);

using H = HeaterParameters;
constexpr std::array<GroupField, 5> HeaterFields{{
    {edit(50), Tenths, SignedWord, 24, slot<&P::Heater, &H::MaxCurrent>()},
    {edit(51), Tenths, SignedWord, 25, slot<&P::Heater, &H::MinCurrent>()},
    {edit(52), Tenths, SignedWord, 22, slot<&P::Heater, &H::StartTemp>()},
    {edit(53), WholeTenths, Byte, 23, slot<&P::Heater, &H::DeltTemp>()},
    {comboBox(5), Item, ItemSelected, 26, slot<&P::Heater, &H::Enable>()},
}};

using TA = TempAlarmParameters;
constexpr std::array<GroupField, 2> TempAlarmFields{{
    {edit(24), Tenths, SignedWord, 28, slot<&P::TempAlarm, &TA::HighTemp>()},
    {edit(25), Tenths, SignedWord, 29, slot<&P::TempAlarm, &TA::LowTemp>()},
}};

using C = CalibrationParameters;
constexpr std::array<GroupField, 4> CalibrationFields{{
    {edit(1), Tenths, SignedWord, 33, slot<&P::Calibration, &C::Tempr1>()},
    {edit(2), Tenths, SignedWord, 34, slot<&P::Calibration, &C::Temp2>()},
    {edit(10), Tenths, SignedWord, 35, slot<&P::Calibration, &C::Current>()},
    {edit(16), Tenths, SignedWord, 36, slot<&P::Calibration, &C::Voltage>()},
}};

using E = ExtInputParameters;
constexpr std::array<GroupField, 2> ExtInputFields{{
    {comboBox(6), Item, ItemSelected, 37, slot<&P::ExtInput, &E::Enable>()},
    {comboBox(7), Item, ItemSelected, 38, slot<&P::ExtInput, &E::Type>()},
}};

constexpr std::array<GroupField, 1> AddressFields{{
    {edit(4), Integer, SlaveAddress, 27, AddressSlot},
}};

using V = VoltageAlarmParameters;
constexpr std::array<GroupField, 2> VoltageAlarmFields{{
    {edit(18), Tenths, HighVoltage, 39, slot<&P::VoltageAlarm, &V::HighValue>()},
    {edit(28), Tenths, LowVoltage, 40, slot<&P::VoltageAlarm, &V::LowValue>()},
}};

using K = CompressorParameters;
constexpr std::array<GroupField, 3> CompressorFields{{
    {edit(30), Tenths, SignedWord, 41, slot<&P::Compressor, &K::StartTemp>()},
    {edit(29), Tenths, SignedWord, 42, slot<&P::Compressor, &K::DeltTemp>()},
    {edit(31), Integer, SignedWord, 43, slot<&P::Compressor, &K::MaxRPM>()},
}};

using X = HeatExchangerParameters;
constexpr std::array<GroupField, 3> HeatExchangerFields{{
    {edit(42), Tenths, SignedWord, 44, slot<&P::HeatExchanger, &X::StartTemp>()},
    {edit(33), Tenths, SignedWord, 45, slot<&P::HeatExchanger, &X::DeltTemp>()},
    {edit(43), Tenths, SignedWord, 46, slot<&P::HeatExchanger, &X::MinDeltT>()},
}};

constexpr const char* BusyText = "Systerm Busy,Please Wait";

const std::array<ParameterGroup, 10> Groups{{
    {ConfigCommand::SetInternalFan,
     0,
     11,
     InternalFanFields,
     {BusyText, "Set Intfan1!"},
     {"Set Successfully!", "Set Intfan1"}},
    {ConfigCommand::SetExternalFan,
     11,
     11,
     ExternalFanFields,
     {BusyText, "Set Extfan1!"},
     {"Set Successfully", "Set Extfan1!"}},
    // The Heater group's busy box has its two strings the other way round.
    {ConfigCommand::SetHeater,
     22,
     5,
     HeaterFields,
     {"Set Heater!", BusyText},
     {"Set Successfully", "Set Heater!"}},
    {ConfigCommand::SetTempAlarm,
     28,
     2,
     TempAlarmFields,
     {BusyText, "Set Alarm TEMP!"},
     {"Set Successfully", "Set Alarm TEMP"}},
    {ConfigCommand::SetCalibration,
     33,
     4,
     CalibrationFields,
     {BusyText, "Calibrate Temp!"},
     {"Set Successfully", "Calibrate Temp"}},
    {ConfigCommand::SetExtInput,
     37,
     2,
     ExtInputFields,
     {BusyText, "Set Intfan1!"},
     {"Set Successfully", "Extinput Option"}},
    {ConfigCommand::SetAddress,
     27,
     1,
     AddressFields,
     {BusyText, "Set Intfan1!"},
     {"Set Successfully", "Extinput Option"}},
    {ConfigCommand::SetVoltageAlarm,
     39,
     2,
     VoltageAlarmFields,
     {BusyText, "Set Alarm TEMP!"},
     {"Set Successfully", "Set Alarm Voltage"}},
    {ConfigCommand::SetCompressor,
     41,
     3,
     CompressorFields,
     {BusyText, "Set Alarm TEMP!"},
     {"Set Successfully", "Set Compressor"}},
    {ConfigCommand::SetHeatExchanger,
     44,
     3,
     HeatExchangerFields,
     {BusyText, "Set Alarm TEMP!"},
     {"Set Successfully", "Set Heat Exchanger"}},
}};

std::int64_t convert(const GroupField& field, const FieldSource& fields) {
    switch (field.rule) {
    case ConversionRule::Integer:
        return parseInteger(fields.editText(field.control.number));
    case ConversionRule::Tenths:
        return DecimalNumber::parse(fields.editText(field.control.number)).truncatedTenths();
    case ConversionRule::WholeTenths:
        return std::int64_t{parseInteger(fields.editText(field.control.number))} * 10;
    case ConversionRule::Item:
        return fields.selectedItem(field.control.number);
    }
    return 0;
}

} // namespace

std::span<const ParameterGroup> parameterGroups() {
    return Groups;
}

const ParameterGroup& parameterGroup(ConfigCommand command) {
    for (const ParameterGroup& group : Groups) {
        if (group.command == command) {
            return group;
        }
    }
    throw std::logic_error("not a group write");
}

std::vector<std::int64_t> convertFields(const ParameterGroup& group, const FieldSource& fields) {
    std::vector<std::int64_t> values;
    values.reserve(group.fields.size());
    for (const GroupField& field : group.fields) {
        values.push_back(convert(field, fields));
    }
    return values;
}

bool fitRanges(const ParameterGroup& group, std::span<const std::int64_t> values) {
    checkInvariant(values.size() == group.fields.size(), "one value per field of the group");
    for (std::size_t i = 0; i < values.size(); ++i) {
        const ValueRange& range = group.fields[i].range;
        if (values[i] < range.lowest || values[i] > range.highest) {
            return false;
        }
    }
    return true;
}

bool stageGroup(const ParameterGroup& group, const FieldSource& fields,
                ControllerParameters& parameters) {
    const std::vector<std::int64_t> values = convertFields(group, fields);
    if (!fitRanges(group, values)) {
        return false;
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        group.fields[i].slot.store(parameters, values[i]);
    }
    return true;
}

std::vector<std::uint16_t> groupWords(const ParameterGroup& group,
                                      const ControllerParameters& parameters) {
    std::vector<std::uint16_t> words(group.registerCount, 0);
    for (const GroupField& field : group.fields) {
        const std::size_t offset = field.reg - group.firstRegister;
        checkInvariant(offset < words.size(), "a group field outside the group's registers");
        // Staged values fit their width, so the low 16 bits are the whole value (two's complement
        // for negative ones); 8-bit fields go out with a zero high byte.
        words[offset] = static_cast<std::uint16_t>(field.slot.load(parameters));
    }
    return words;
}

ModbusFrame buildGroupFrame(const ParameterGroup& group, const ControllerParameters& parameters,
                            std::uint8_t address) {
    const std::vector<std::uint16_t> words = groupWords(group, parameters);
    return buildWriteMultiple(address, group.firstRegister, words);
}

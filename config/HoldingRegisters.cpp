#include "HoldingRegisters.h"

#include "link/NumberText.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <type_traits>

namespace climate::config {

using namespace climate::link;

namespace {

// The widths the controller holds its settings in, and the ranges it allows.
constexpr ValueRange Speed{0, 65535};           // unsigned 16-bit RPM
constexpr ValueRange SignedWord{-32768, 32767}; // signed 16-bit register
constexpr ValueRange Byte{0, 255};              // 8-bit register
constexpr ValueRange ItemSelected{0, 1};        // "Disable"/"Enable", "NO"/"NC"
constexpr ValueRange SlaveAddress{1, 255};
constexpr ValueRange HighVoltage{500, 700}; // tenths of a volt
constexpr ValueRange LowVoltage{240, 470};

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

// Notes on rows whose Set differs from what Read All shows:
// - 6/7 and 17/18: the fan groups convert DeltTemp before StopTemp.
// - 8 and 19 (PluseNo): shown unsigned, but the controller holds only 8 bits.
// - 22 ... 26: the Heater group converts the currents first, then StartTemp, DeltTemp, Enable.
// - 23 (Heater DeltTemp): tenths like its neighbours, but the controller holds only 8 bits of
//   them, so 25.6 and above are refused rather than cut.
// - 27 (Address): shown signed, set only as 1 ... 255; Read All leaves its text, as it does for
//   the compressor's StartTemp and MaxRPM and the external input's boxes.
constexpr std::array<HoldingRegister, 44> Registers{{
    {.reg = 0,
     .control = edit(12),
     .label = "StepRev",
     .record = "InternalFan.StepRev",
     .readForm = ReadForm::Unsigned,
     .setRule = ConversionRule::Integer,
     .range = Speed,
     .group = ConfigCommand::SetInternalFan,
     .conversionOrder = 0,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::InternalFan, &FanGroupParameters::StepRev>()},
    {.reg = 1,
     .control = edit(5),
     .label = "MaxRev",
     .record = "InternalFan.MaxRev",
     .readForm = ReadForm::Unsigned,
     .setRule = ConversionRule::Integer,
     .range = Speed,
     .group = ConfigCommand::SetInternalFan,
     .conversionOrder = 1,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::InternalFan, &FanGroupParameters::MaxRev>()},
    {.reg = 2,
     .control = edit(13),
     .label = "MinRev",
     .record = "InternalFan.MinRev",
     .readForm = ReadForm::Unsigned,
     .setRule = ConversionRule::Integer,
     .range = Speed,
     .group = ConfigCommand::SetInternalFan,
     .conversionOrder = 2,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::InternalFan, &FanGroupParameters::MinRev>()},
    {.reg = 3,
     .control = edit(14),
     .label = "StepTemp",
     .record = "InternalFan.StepTemp",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetInternalFan,
     .conversionOrder = 3,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::InternalFan, &FanGroupParameters::StepTemp>()},
    {.reg = 4,
     .control = edit(27),
     .label = "MaxTemp",
     .record = "InternalFan.MaxTemp",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetInternalFan,
     .conversionOrder = 4,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::InternalFan, &FanGroupParameters::MaxTemp>()},
    {.reg = 5,
     .control = edit(9),
     .label = "MinTemp",
     .record = "InternalFan.MinTemp",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetInternalFan,
     .conversionOrder = 5,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::InternalFan, &FanGroupParameters::MinTemp>()},
    {.reg = 6,
     .control = edit(6),
     .label = "StopTemp",
     .record = "InternalFan.StopTemp",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetInternalFan,
     .conversionOrder = 7,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::InternalFan, &FanGroupParameters::StopTemp>()},
    {.reg = 7,
     .control = edit(7),
     .label = "DeltTemp",
     .record = "InternalFan.DeltTemp",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetInternalFan,
     .conversionOrder = 6,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::InternalFan, &FanGroupParameters::DeltTemp>()},
    {.reg = 8,
     .control = edit(41),
     .label = "PluseNo.",
     .record = "InternalFan.PluseNo",
     .readForm = ReadForm::Unsigned,
     .setRule = ConversionRule::Integer,
     .range = Byte,
     .group = ConfigCommand::SetInternalFan,
     .conversionOrder = 8,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::InternalFan, &FanGroupParameters::PluseNo>()},
    {.reg = 9,
     .control = comboBox(1),
     .label = "Intfan1",
     .record = "InternalFan.Fan1Enable",
     .readForm = ReadForm::Item,
     .setRule = ConversionRule::Item,
     .range = ItemSelected,
     .group = ConfigCommand::SetInternalFan,
     .conversionOrder = 9,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::InternalFan, &FanGroupParameters::Fan1Enable>()},
    {.reg = 10,
     .control = comboBox(2),
     .label = "Intfan2",
     .record = "InternalFan.Fan2Enable",
     .readForm = ReadForm::Item,
     .setRule = ConversionRule::Item,
     .range = ItemSelected,
     .group = ConfigCommand::SetInternalFan,
     .conversionOrder = 10,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::InternalFan, &FanGroupParameters::Fan2Enable>()},
    {.reg = 11,
     .control = edit(34),
     .label = "StepRev",
     .record = "ExternalFan.StepRev",
     .readForm = ReadForm::Unsigned,
     .setRule = ConversionRule::Integer,
     .range = Speed,
     .group = ConfigCommand::SetExternalFan,
     .conversionOrder = 0,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::ExternalFan, &FanGroupParameters::StepRev>()},
    {.reg = 12,
     .control = edit(8),
     .label = "MaxRev",
     .record = "ExternalFan.MaxRev",
     .readForm = ReadForm::Unsigned,
     .setRule = ConversionRule::Integer,
     .range = Speed,
     .group = ConfigCommand::SetExternalFan,
     .conversionOrder = 1,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::ExternalFan, &FanGroupParameters::MaxRev>()},
    {.reg = 13,
     .control = edit(35),
     .label = "MinRev",
     .record = "ExternalFan.MinRev",
     .readForm = ReadForm::Unsigned,
     .setRule = ConversionRule::Integer,
     .range = Speed,
     .group = ConfigCommand::SetExternalFan,
     .conversionOrder = 2,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::ExternalFan, &FanGroupParameters::MinRev>()},
    {.reg = 14,
     .control = edit(36),
     .label = "StepTemp",
     .record = "ExternalFan.StepTemp",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetExternalFan,
     .conversionOrder = 3,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::ExternalFan, &FanGroupParameters::StepTemp>()},
    {.reg = 15,
     .control = edit(37),
     .label = "MaxTemp",
     .record = "ExternalFan.MaxTemp",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetExternalFan,
     .conversionOrder = 4,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::ExternalFan, &FanGroupParameters::MaxTemp>()},
    {.reg = 16,
     .control = edit(15),
     .label = "MinTemp",
     .record = "ExternalFan.MinTemp",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetExternalFan,
     .conversionOrder = 5,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::ExternalFan, &FanGroupParameters::MinTemp>()},
    {.reg = 17,
     .control = edit(38),
     .label = "StopTemp",
     .record = "ExternalFan.StopTemp",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetExternalFan,
     .conversionOrder = 7,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::ExternalFan, &FanGroupParameters::StopTemp>()},
    {.reg = 18,
     .control = edit(39),
     .label = "DeltTemp",
     .record = "ExternalFan.DeltTemp",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetExternalFan,
     .conversionOrder = 6,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::ExternalFan, &FanGroupParameters::DeltTemp>()},
    {.reg = 19,
     .control = edit(40),
     .label = "PlusNo.",
     .record = "ExternalFan.PluseNo",
     .readForm = ReadForm::Unsigned,
     .setRule = ConversionRule::Integer,
     .range = Byte,
     .group = ConfigCommand::SetExternalFan,
     .conversionOrder = 8,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::ExternalFan, &FanGroupParameters::PluseNo>()},
    {.reg = 20,
     .control = comboBox(3),
     .label = "Extfan1",
     .record = "ExternalFan.Fan1Enable",
     .readForm = ReadForm::Item,
     .setRule = ConversionRule::Item,
     .range = ItemSelected,
     .group = ConfigCommand::SetExternalFan,
     .conversionOrder = 9,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::ExternalFan, &FanGroupParameters::Fan1Enable>()},
    {.reg = 21,
     .control = comboBox(4),
     .label = "Extfan2",
     .record = "ExternalFan.Fan2Enable",
     .readForm = ReadForm::Item,
     .setRule = ConversionRule::Item,
     .range = ItemSelected,
     .group = ConfigCommand::SetExternalFan,
     .conversionOrder = 10,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::ExternalFan, &FanGroupParameters::Fan2Enable>()},
    {.reg = 22,
     .control = edit(52),
     .label = "StartTemp",
     .record = "Heater.StartTemp",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetHeater,
     .conversionOrder = 2,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::Heater, &HeaterParameters::StartTemp>()},
    {.reg = 23,
     .control = edit(53),
     .label = "DeltTemp",
     .record = "Heater.DeltTemp",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = Byte,
     .group = ConfigCommand::SetHeater,
     .conversionOrder = 3,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::Heater, &HeaterParameters::DeltTemp>()},
    {.reg = 24,
     .control = edit(50),
     .label = "MaxCurrent",
     .record = "Heater.MaxCurrent",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetHeater,
     .conversionOrder = 0,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::Heater, &HeaterParameters::MaxCurrent>()},
    {.reg = 25,
     .control = edit(51),
     .label = "MinCurrent",
     .record = "Heater.MinCurrent",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetHeater,
     .conversionOrder = 1,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::Heater, &HeaterParameters::MinCurrent>()},
    {.reg = 26,
     .control = comboBox(5),
     .label = "Dis/Enable",
     .record = "Heater.Enable",
     .readForm = ReadForm::Item,
     .setRule = ConversionRule::Item,
     .range = ItemSelected,
     .group = ConfigCommand::SetHeater,
     .conversionOrder = 4,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::Heater, &HeaterParameters::Enable>()},
    {.reg = 27,
     .control = edit(4),
     .label = "",
     .record = "Address",
     .readForm = ReadForm::Signed,
     .setRule = ConversionRule::Integer,
     .range = SlaveAddress,
     .group = ConfigCommand::SetAddress,
     .conversionOrder = 0,
     .clearedByReadAll = false,
     .slot = AddressSlot},
    {.reg = 28,
     .control = edit(24),
     .label = "HighTemp",
     .record = "TempAlarm.HighTemp",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetTempAlarm,
     .conversionOrder = 0,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::TempAlarm, &TempAlarmParameters::HighTemp>()},
    {.reg = 29,
     .control = edit(25),
     .label = "LowTemp",
     .record = "TempAlarm.LowTemp",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetTempAlarm,
     .conversionOrder = 1,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::TempAlarm, &TempAlarmParameters::LowTemp>()},
    {.reg = 33,
     .control = edit(1),
     .label = "Tempr1",
     .record = "Calibration.Tempr1",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetCalibration,
     .conversionOrder = 0,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::Calibration, &CalibrationParameters::Tempr1>()},
    {.reg = 34,
     .control = edit(2),
     .label = "Temp2",
     .record = "Calibration.Temp2",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetCalibration,
     .conversionOrder = 1,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::Calibration, &CalibrationParameters::Temp2>()},
    {.reg = 35,
     .control = edit(10),
     .label = "Current",
     .record = "Calibration.Current",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetCalibration,
     .conversionOrder = 2,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::Calibration, &CalibrationParameters::Current>()},
    {.reg = 36,
     .control = edit(16),
     .label = "Voltage",
     .record = "Calibration.Voltage",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetCalibration,
     .conversionOrder = 3,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::Calibration, &CalibrationParameters::Voltage>()},
    {.reg = 37,
     .control = comboBox(6),
     .label = "Enable",
     .record = "ExtInput.Enable",
     .readForm = ReadForm::Item,
     .setRule = ConversionRule::Item,
     .range = ItemSelected,
     .group = ConfigCommand::SetExtInput,
     .conversionOrder = 0,
     .clearedByReadAll = false,
     .slot = slot<&ControllerParameters::ExtInput, &ExtInputParameters::Enable>()},
    {.reg = 38,
     .control = comboBox(7),
     .label = "Type",
     .record = "ExtInput.Type",
     .readForm = ReadForm::Item,
     .setRule = ConversionRule::Item,
     .range = ItemSelected,
     .group = ConfigCommand::SetExtInput,
     .conversionOrder = 1,
     .clearedByReadAll = false,
     .slot = slot<&ControllerParameters::ExtInput, &ExtInputParameters::Type>()},
    {.reg = 39,
     .control = edit(18),
     .label = "HighValue",
     .record = "VoltageAlarm.HighValue",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = HighVoltage,
     .group = ConfigCommand::SetVoltageAlarm,
     .conversionOrder = 0,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::VoltageAlarm, &VoltageAlarmParameters::HighValue>()},
    {.reg = 40,
     .control = edit(28),
     .label = "LowValue",
     .record = "VoltageAlarm.LowValue",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = LowVoltage,
     .group = ConfigCommand::SetVoltageAlarm,
     .conversionOrder = 1,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::VoltageAlarm, &VoltageAlarmParameters::LowValue>()},
    {.reg = 41,
     .control = edit(30),
     .label = "StartTemp.",
     .record = "Compressor.StartTemp",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetCompressor,
     .conversionOrder = 0,
     .clearedByReadAll = false,
     .slot = slot<&ControllerParameters::Compressor, &CompressorParameters::StartTemp>()},
    {.reg = 42,
     .control = edit(29),
     .label = "DeltTemp.",
     .record = "Compressor.DeltTemp",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetCompressor,
     .conversionOrder = 1,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::Compressor, &CompressorParameters::DeltTemp>()},
    {.reg = 43,
     .control = edit(31),
     .label = "MaxRPM",
     .record = "Compressor.MaxRPM",
     .readForm = ReadForm::Signed,
     .setRule = ConversionRule::Integer,
     .range = SignedWord,
     .group = ConfigCommand::SetCompressor,
     .conversionOrder = 2,
     .clearedByReadAll = false,
     .slot = slot<&ControllerParameters::Compressor, &CompressorParameters::MaxRPM>()},
    {.reg = 44,
     .control = edit(42),
     .label = "StartTemp.",
     .record = "HeatExchanger.StartTemp",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetHeatExchanger,
     .conversionOrder = 0,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::HeatExchanger, &HeatExchangerParameters::StartTemp>()},
    {.reg = 45,
     .control = edit(33),
     .label = "DeltTemp.",
     .record = "HeatExchanger.DeltTemp",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetHeatExchanger,
     .conversionOrder = 1,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::HeatExchanger, &HeatExchangerParameters::DeltTemp>()},
    {.reg = 46,
     .control = edit(43),
     .label = "Min Delt-T",
     .record = "HeatExchanger.MinDeltT",
     .readForm = ReadForm::Tenths,
     .setRule = ConversionRule::Tenths,
     .range = SignedWord,
     .group = ConfigCommand::SetHeatExchanger,
     .conversionOrder = 2,
     .clearedByReadAll = true,
     .slot = slot<&ControllerParameters::HeatExchanger, &HeatExchangerParameters::MinDeltT>()},
}};

// The table's own invariants, checked when it is compiled.
constexpr bool registersAscend() {
    for (std::size_t i = 1; i < Registers.size(); ++i) {
        if (Registers[i].reg <= Registers[i - 1].reg) {
            return false;
        }
    }
    return true;
}

constexpr bool namesAreUnique() {
    for (std::size_t i = 0; i < Registers.size(); ++i) {
        for (std::size_t j = i + 1; j < Registers.size(); ++j) {
            if (Registers[i].control == Registers[j].control ||
                std::string_view(Registers[i].record) == std::string_view(Registers[j].record)) {
                return false;
            }
        }
    }
    return true;
}

// Combo boxes and only they are shown and set as items; every row has a slot.
constexpr bool kindsAgree() {
    return std::ranges::all_of(Registers, [](const HoldingRegister& row) {
        const bool box = row.control.kind == Control::Kind::ComboBox;
        return box == (row.readForm == ReadForm::Item) &&
               box == (row.setRule == ConversionRule::Item) && row.slot.store != nullptr &&
               row.slot.load != nullptr;
    });
}

// Each group writes one run of registers, and its conversion order numbers them 0 ... n-1.
constexpr bool groupsAreRunsInOrder() {
    for (const HoldingRegister& first : Registers) {
        int count = 0;
        int lowest = first.reg;
        int highest = first.reg;
        std::array<bool, Registers.size()> orderSeen{};
        for (const HoldingRegister& row : Registers) {
            if (row.group != first.group) {
                continue;
            }
            ++count;
            lowest = std::min<int>(lowest, row.reg);
            highest = std::max<int>(highest, row.reg);
            if (row.conversionOrder < 0 ||
                static_cast<std::size_t>(row.conversionOrder) >= orderSeen.size() ||
                orderSeen[static_cast<std::size_t>(row.conversionOrder)]) {
                return false;
            }
            orderSeen[static_cast<std::size_t>(row.conversionOrder)] = true;
        }
        if (highest - lowest + 1 != count ||
            !std::ranges::all_of(orderSeen.begin(), orderSeen.begin() + count,
                                 [](bool seen) { return seen; })) {
            return false;
        }
    }
    return true;
}

static_assert(registersAscend());
static_assert(namesAreUnique());
static_assert(kindsAgree());
static_assert(groupsAreRunsInOrder());

void requireEdit(const HoldingRegister& row) {
    if (row.control.kind != Control::Kind::Edit) {
        throw std::logic_error("register " + std::to_string(row.reg) + " is not shown in an edit");
    }
}

template <typename Predicate> const HoldingRegister* findRow(Predicate matches) {
    for (const HoldingRegister& row : Registers) {
        if (matches(row)) {
            return &row;
        }
    }
    return nullptr;
}

} // namespace

std::uint16_t registerWord(std::int64_t value) {
    // Values in range fit their width, so the low 16 bits are the whole value (two's complement
    // for negative ones); 8-bit fields go out with a zero high byte.
    return static_cast<std::uint16_t>(value);
}

std::string controlName(Control control) {
    return (control.kind == Control::Kind::Edit ? "Edit" : "ComboBox") +
           std::to_string(control.number);
}

std::span<const HoldingRegister> holdingRegisters() {
    return Registers;
}

const HoldingRegister* findRegister(std::uint16_t reg) {
    return findRow([reg](const HoldingRegister& row) { return row.reg == reg; });
}

const HoldingRegister* findControl(Control control) {
    return findRow([control](const HoldingRegister& row) { return row.control == control; });
}

const HoldingRegister* findControl(std::string_view designerName) {
    return findRow([designerName](const HoldingRegister& row) {
        return controlName(row.control) == designerName;
    });
}

const HoldingRegister* findRecord(std::string_view record) {
    return findRow([record](const HoldingRegister& row) { return row.record == record; });
}

std::vector<const HoldingRegister*> groupRegisters(ConfigCommand group) {
    std::vector<const HoldingRegister*> rows;
    for (const HoldingRegister& row : Registers) {
        if (row.group == group) {
            rows.push_back(&row);
        }
    }
    std::ranges::sort(rows, {}, &HoldingRegister::conversionOrder);
    return rows;
}

double registerNumber(ReadForm form, std::uint16_t word) {
    const auto value = static_cast<std::int16_t>(word);
    switch (form) {
    case ReadForm::Unsigned:
        return word;
    case ReadForm::Signed:
    case ReadForm::Item:
        return value;
    case ReadForm::Tenths:
        // Division gives the double nearest the decimal value, which prints back as typed.
        return value / 10.0;
    }
    return 0;
}

std::string registerText(ReadForm form, std::uint16_t word) {
    switch (form) {
    case ReadForm::Unsigned:
        return std::to_string(word);
    case ReadForm::Signed:
    case ReadForm::Item:
        return std::to_string(static_cast<std::int16_t>(word));
    case ReadForm::Tenths:
        return formatGeneral(registerNumber(form, word));
    }
    return {};
}

int registerItem(std::uint16_t word, int itemCount) {
    const int index = static_cast<std::int16_t>(word);
    return index >= 0 && index < itemCount ? index : -1;
}

std::string shownText(const HoldingRegister& row, std::uint16_t word) {
    requireEdit(row);
    return registerText(row.readForm, word);
}

std::int64_t convertText(const HoldingRegister& row, std::string_view text) {
    requireEdit(row);
    switch (row.setRule) {
    case ConversionRule::Integer:
        return parseInteger(text);
    case ConversionRule::Tenths:
        return DecimalNumber::parse(text).truncatedTenths();
    case ConversionRule::Item:
        break;
    }
    throw std::logic_error("register " + std::to_string(row.reg) + " has no text rule");
}

bool fitsRange(const HoldingRegister& row, std::int64_t value) {
    return value >= row.range.lowest && value <= row.range.highest;
}

std::optional<std::uint16_t> wordForText(const HoldingRegister& row, std::string_view text) {
    const std::int64_t value = convertText(row, text);
    return fitsRange(row, value) ? std::optional(registerWord(value)) : std::nullopt;
}

std::optional<std::uint16_t> wordForItem(const HoldingRegister& row, int item) {
    if (row.control.kind != Control::Kind::ComboBox) {
        throw std::logic_error("register " + std::to_string(row.reg) + " is not a combo box");
    }
    return fitsRange(row, item) ? std::optional(registerWord(item)) : std::nullopt;
}

} // namespace climate::config

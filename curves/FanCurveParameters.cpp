#include "FanCurveParameters.h"

#include "config/HoldingRegisters.h"
#include "link/Invariant.h"

#include <algorithm>
#include <array>
#include <string>

namespace climate::curves {

using config::ConfigCommand;
using config::HoldingRegister;

namespace {

// A field of the curve's record, by its name in the fan groups' rows of the register table.
struct CurveField {
    const char* name;
    std::uint32_t FanCurveParameters::*speed = nullptr;
    float FanCurveParameters::*temperature = nullptr;
};

constexpr std::array<CurveField, 8> Fields{{
    {"StepRev", &FanCurveParameters::StepRev},
    {"MaxRev", &FanCurveParameters::MaxRev},
    {"MinRev", &FanCurveParameters::MinRev},
    {"StepTemp", nullptr, &FanCurveParameters::StepTemp},
    {"MaxTemp", nullptr, &FanCurveParameters::MaxTemp},
    {"MinTemp", nullptr, &FanCurveParameters::MinTemp},
    {"StopTemp", nullptr, &FanCurveParameters::StopTemp},
    {"DeltTemp", nullptr, &FanCurveParameters::DeltTemp},
}};

// A field's row in one fan group, and its offset from the group's first register.
struct FieldPlace {
    const HoldingRegister* row = nullptr;
    std::size_t offset = 0;
};

FieldPlace placeOf(const CurveField& field, const char* group, ConfigCommand command) {
    const HoldingRegister* row = config::findRecord(std::string(group) + "." + field.name);
    link::checkInvariant(row != nullptr && row->group == command,
                         "a curve field without its fan group's register");
    const auto rows = config::groupRegisters(command);
    const std::uint16_t first =
        (*std::ranges::min_element(rows, {}, [](const HoldingRegister* r) { return r->reg; }))->reg;
    return {row, static_cast<std::size_t>(row->reg - first)};
}

// Where each field stands in a fan group, as the register table lays the groups out. Both fan
// groups must have the one layout, which the curve reads either of.
const std::array<FieldPlace, Fields.size()>& fieldPlaces() {
    static const std::array<FieldPlace, Fields.size()> places = [] {
        std::array<FieldPlace, Fields.size()> internal{};
        for (std::size_t k = 0; k < Fields.size(); ++k) {
            internal[k] = placeOf(Fields[k], "InternalFan", ConfigCommand::SetInternalFan);
            const FieldPlace external =
                placeOf(Fields[k], "ExternalFan", ConfigCommand::SetExternalFan);
            link::checkInvariant(external.offset == internal[k].offset &&
                                     external.row->readForm == internal[k].row->readForm,
                                 "the fan groups' layouts differ");
            link::checkInvariant(internal[k].offset < FanCurveParameters::RegisterCount,
                                 "a curve field beyond the registers the curve decodes");
        }
        return internal;
    }();
    return places;
}

} // namespace

float FanCurveParameters::temperatureFromRegister(std::uint16_t word) {
    return static_cast<float>(config::registerNumber(config::ReadForm::Tenths, word));
}

FanCurveParameters
FanCurveParameters::fromRegisters(std::span<const std::uint16_t, RegisterCount> registers) {
    FanCurveParameters parameters;
    for (std::size_t k = 0; k < Fields.size(); ++k) {
        const FieldPlace& place = fieldPlaces()[k];
        const double number = config::registerNumber(place.row->readForm, registers[place.offset]);
        if (Fields[k].speed != nullptr) {
            parameters.*Fields[k].speed = static_cast<std::uint32_t>(number);
        } else {
            parameters.*Fields[k].temperature = static_cast<float>(number);
        }
    }
    return parameters;
}

} // namespace climate::curves

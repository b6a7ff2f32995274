#pragma once

#include <optional>
#include <string_view>

namespace sim {

// The four Modbus data tables the controller serves.
enum class RegisterTable { Coil, DiscreteInput, InputRegister, HoldingRegister };

inline constexpr int CoilCount = 16;
inline constexpr int DiscreteInputCount = 18;
inline constexpr int InputRegisterCount = 27;
inline constexpr int HoldingRegisterCount = 47;

[[nodiscard]] constexpr int tableSize(RegisterTable table) {
    switch (table) {
    case RegisterTable::Coil:
        return CoilCount;
    case RegisterTable::DiscreteInput:
        return DiscreteInputCount;
    case RegisterTable::InputRegister:
        return InputRegisterCount;
    case RegisterTable::HoldingRegister:
        return HoldingRegisterCount;
    }
    return 0;
}

[[nodiscard]] constexpr bool isBitTable(RegisterTable table) {
    return table == RegisterTable::Coil || table == RegisterTable::DiscreteInput;
}

// Console names: hr, ir, coil, di.
[[nodiscard]] inline std::optional<RegisterTable> tableFromName(std::string_view name) {
    if (name == "hr") {
        return RegisterTable::HoldingRegister;
    }
    if (name == "ir") {
        return RegisterTable::InputRegister;
    }
    if (name == "coil") {
        return RegisterTable::Coil;
    }
    if (name == "di") {
        return RegisterTable::DiscreteInput;
    }
    return std::nullopt;
}

[[nodiscard]] constexpr std::string_view tableName(RegisterTable table) {
    switch (table) {
    case RegisterTable::Coil:
        return "coil";
    case RegisterTable::DiscreteInput:
        return "di";
    case RegisterTable::InputRegister:
        return "ir";
    case RegisterTable::HoldingRegister:
        return "hr";
    }
    return "?";
}

} // namespace sim

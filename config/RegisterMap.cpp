#include "RegisterMap.h"

#include "link/NumberText.h"

#include <array>

namespace {

constexpr ReadForm U = ReadForm::Unsigned;
constexpr ReadForm S = ReadForm::Signed;
constexpr ReadForm T = ReadForm::Tenths;
constexpr ReadForm I = ReadForm::Item;

constexpr std::array<RegisterField, 44> ReadAllFields{{
    // Internal fans
    {0, edit(12), U},
    {1, edit(5), U},
    {2, edit(13), U},
    {3, edit(14), T},
    {4, edit(27), T},
    {5, edit(9), T},
    {6, edit(6), T},
    {7, edit(7), T},
    {8, edit(41), U},
    {9, comboBox(1), I},
    {10, comboBox(2), I},
    // External fans
    {11, edit(34), U},
    {12, edit(8), U},
    {13, edit(35), U},
    {14, edit(36), T},
    {15, edit(37), T},
    {16, edit(15), T},
    {17, edit(38), T},
    {18, edit(39), T},
    {19, edit(40), U},
    {20, comboBox(3), I},
    {21, comboBox(4), I},
    // Heater
    {22, edit(52), T},
    {23, edit(53), T},
    {24, edit(50), T},
    {25, edit(51), T},
    {26, comboBox(5), I},
    // Slave address, temperature alarm
    {27, edit(4), S},
    {28, edit(24), T},
    {29, edit(25), T},
    // Calibration
    {33, edit(1), T},
    {34, edit(2), T},
    {35, edit(10), T},
    {36, edit(16), T},
    // External input
    {37, comboBox(6), I},
    {38, comboBox(7), I},
    // Voltage alarm
    {39, edit(18), T},
    {40, edit(28), T},
    // Compressor
    {41, edit(30), T},
    {42, edit(29), T},
    {43, edit(31), S},
    // Heat exchanger
    {44, edit(42), T},
    {45, edit(33), T},
    {46, edit(43), T},
}};

constexpr std::array<Control, 39> ClearedControls{
    edit(12),    edit(13), edit(14), edit(27), edit(9),     edit(41),    edit(15),    edit(16),
    edit(5),     edit(6),  edit(7),  edit(8),  edit(10),    edit(34),    edit(35),    edit(36),
    edit(37),    edit(38), edit(39), edit(40), edit(50),    edit(51),    edit(52),    edit(53),
    edit(1),     edit(2),  edit(24), edit(25), comboBox(1), comboBox(2), comboBox(3), comboBox(4),
    comboBox(5), edit(18), edit(28), edit(29), edit(42),    edit(33),    edit(43),
};

} // namespace

std::span<const RegisterField> readAllFields() {
    return ReadAllFields;
}

std::span<const Control> readAllClearedControls() {
    return ClearedControls;
}

std::string registerText(ReadForm form, std::uint16_t word) {
    const auto value = static_cast<std::int16_t>(word);
    switch (form) {
    case ReadForm::Unsigned:
        return std::to_string(word);
    case ReadForm::Signed:
    case ReadForm::Item:
        return std::to_string(value);
    case ReadForm::Tenths:
        // Division gives the double nearest the decimal value, which prints back as typed.
        return formatGeneral(value / 10.0);
    }
    return {};
}

int registerItem(std::uint16_t word, int itemCount) {
    const int index = static_cast<std::int16_t>(word);
    return index >= 0 && index < itemCount ? index : -1;
}

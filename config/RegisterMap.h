#pragma once

#include <cstdint>
#include <span>
#include <string>

// A field of the Configuration page: the edit Edit<number> or the combo box ComboBox<number>.
struct Control {
    enum class Kind : std::uint8_t { Edit, ComboBox };

    Kind kind = Kind::Edit;
    int number = 0;

    friend constexpr bool operator==(const Control&, const Control&) = default;
};

[[nodiscard]] constexpr Control edit(int number) {
    return {Control::Kind::Edit, number};
}
[[nodiscard]] constexpr Control comboBox(int number) {
    return {Control::Kind::ComboBox, number};
}

// How Read All shows a holding register.
enum class ReadForm : std::uint8_t {
    Unsigned, // 0 ... 65535
    Signed,   // -32768 ... 32767
    Tenths,   // signed, in tenths of the unit: 253 shows as 25.3
    Item,     // signed index of the combo box's item
};

struct RegisterField {
    std::uint16_t reg = 0;
    Control control;
    ReadForm form = ReadForm::Unsigned;
};

// The registers Read All shows, in register order: 0 ... 29 and 33 ... 46 (30 is the debug
// temperature, 31 and 32 are unused).
[[nodiscard]] std::span<const RegisterField> readAllFields();

// The 39 fields Read All clears when it is posted; the address, compressor and external-input
// fields keep their text.
[[nodiscard]] std::span<const Control> readAllClearedControls();

// Text of a register in the forms Unsigned, Signed and Tenths. Tenths use '.' whatever the locale
// and at most 15 significant digits, so the text converts back to the same register value.
[[nodiscard]] std::string registerText(ReadForm form, std::uint16_t word);

// Item index a combo box of `itemCount` items shows for a register; -1 (no selection) for any
// value that is not an index of the list.
[[nodiscard]] int registerItem(std::uint16_t word, int itemCount);

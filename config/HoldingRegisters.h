#pragma once

#include "ConfigCommands.h"
#include "ControllerParameters.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace climate::config {

// The controller's holding registers as the Configuration page shows and sets them: one row per
// register, from which Read All, the ten group writes and the fields Read All clears are all
// derived.

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

// The designer name of a control: "Edit12", "ComboBox1".
[[nodiscard]] std::string controlName(Control control);

// How Read All shows a holding register.
enum class ReadForm : std::uint8_t {
    Unsigned, // 0 ... 65535
    Signed,   // -32768 ... 32767
    Tenths,   // signed, in tenths of the unit: 253 shows as 25.3
    Item,     // signed index of the combo box's item
};

// How a Set command turns a field into a number.
enum class ConversionRule : std::uint8_t {
    Integer, // whole number, signed 32-bit
    Tenths,  // decimal number times 10, truncated toward zero, exactly as typed
    Item,    // index of the selected combo item, -1 when none
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

struct HoldingRegister {
    std::uint16_t reg = 0;
    Control control;
    // The caption beside the field; empty where the group's caption alone names it (Address).
    const char* label = "";
    // The ControllerParameters field the group's Set stages: "InternalFan.StepRev", "Address".
    const char* record = "";
    ReadForm readForm = ReadForm::Unsigned;
    ConversionRule setRule = ConversionRule::Integer;
    ValueRange range;
    ConfigCommand group = ConfigCommand::SetInternalFan; // the Set command that writes it
    // Position in the group's conversion: the first text that does not convert decides the error.
    int conversionOrder = 0;
    bool clearedByReadAll = false; // emptied when Read All is posted
    ParameterSlot slot;
};

// Every register the page shows, in register order: 0 ... 29 and 33 ... 46 (30 is the debug
// temperature, written from the RealTimeData page; 31 and 32 are unused).
[[nodiscard]] std::span<const HoldingRegister> holdingRegisters();

// Lookups: null when no field of the page shows such a register.
[[nodiscard]] const HoldingRegister* findRegister(std::uint16_t reg);
[[nodiscard]] const HoldingRegister* findControl(Control control);
[[nodiscard]] const HoldingRegister* findControl(std::string_view designerName);
[[nodiscard]] const HoldingRegister* findRecord(std::string_view record);

// The registers of one Set command, in its conversion order.
[[nodiscard]] std::vector<const HoldingRegister*> groupRegisters(ConfigCommand group);

// Register word -> what the page shows.
// The number a register holds, read in the form given: Tenths in the unit (253 is 25.3, the
// double nearest the decimal value), Signed and Item as signed words, Unsigned as it is.
[[nodiscard]] double registerNumber(ReadForm form, std::uint16_t word);
// Text of a register in the forms Unsigned, Signed and Tenths. Tenths use '.' whatever the locale
// and at most 15 significant digits, so the text converts back to the same register value.
[[nodiscard]] std::string registerText(ReadForm form, std::uint16_t word);
// Item index a combo box of `itemCount` items shows for a register; -1 (no selection) for any
// value that is not an index of the list.
[[nodiscard]] int registerItem(std::uint16_t word, int itemCount);
// The text an edit's register shows after Read All; `row` must be an edit's.
[[nodiscard]] std::string shownText(const HoldingRegister& row, std::uint16_t word);

// Page field -> register word, by the row's Set rule.
// The number an edit's text converts to; throws ConversionError for a text that is not one.
// `row` must be an edit's.
[[nodiscard]] std::int64_t convertText(const HoldingRegister& row, std::string_view text);
// True when a converted value lies in the row's range.
[[nodiscard]] bool fitsRange(const HoldingRegister& row, std::int64_t value);
// The word a value within its register's range goes out as.
[[nodiscard]] std::uint16_t registerWord(std::int64_t value);
// The word a Set sends for an edit's text, or none when the value is out of range (the Set is
// refused); throws ConversionError like convertText().
[[nodiscard]] std::optional<std::uint16_t> wordForText(const HoldingRegister& row,
                                                       std::string_view text);
// The word a Set sends for a combo box's selected item (-1: none), or none when refused.
[[nodiscard]] std::optional<std::uint16_t> wordForItem(const HoldingRegister& row, int item);

} // namespace climate::config

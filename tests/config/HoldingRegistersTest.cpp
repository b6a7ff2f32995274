#include "config/HoldingRegisters.h"
#include "config/FirmwareVersion.h"
#include "config/ParameterTexts.h"
#include "link/NumberText.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>

using namespace climate::config;
using namespace climate::link;

TEST(ReadAllForms, ShowRegistersAsUnsignedSignedAndTenths) {
    struct Case {
        ReadForm form;
        std::uint16_t word;
        const char* text;
    };
    const Case cases[]{
        {ReadForm::Tenths, 253, "25.3"},       {ReadForm::Tenths, 0xFFC9, "-5.5"},
        {ReadForm::Tenths, 250, "25"},         {ReadForm::Tenths, 0, "0"},
        {ReadForm::Tenths, 1, "0.1"},          {ReadForm::Tenths, 0xFFFF, "-0.1"},
        {ReadForm::Tenths, 0x7FFF, "3276.7"},  {ReadForm::Tenths, 0x8000, "-3276.8"},
        {ReadForm::Tenths, 3, "0.3"},          {ReadForm::Tenths, 701, "70.1"},
        {ReadForm::Signed, 0xFFFF, "-1"},      {ReadForm::Signed, 0x7FFF, "32767"},
        {ReadForm::Signed, 0x8000, "-32768"},  {ReadForm::Unsigned, 0xFFFF, "65535"},
        {ReadForm::Unsigned, 0x8000, "32768"}, {ReadForm::Unsigned, 0, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(registerText(c.form, c.word), c.text);
    }
}

// What Read All shows in a tenths field converts back to the very register value, for every value
// a register can hold: a Read All followed by a Set leaves the controller as it was.
TEST(ReadAllForms, TenthsTextConvertsBackToTheSameRegister) {
    for (std::uint32_t word = 0; word <= 0xFFFF; ++word) {
        const std::string text = registerText(ReadForm::Tenths, static_cast<std::uint16_t>(word));
        const std::int64_t tenths = DecimalNumber::parse(text).truncatedTenths();
        ASSERT_EQ(static_cast<std::uint16_t>(tenths), word) << text;
        ASSERT_GE(tenths, -32768);
        ASSERT_LE(tenths, 32767);
    }
}

TEST(ReadAllForms, ComboValueSelectsOnlyAnItemOfTheList) {
    EXPECT_EQ(registerItem(0, 2), 0);
    EXPECT_EQ(registerItem(1, 2), 1);
    EXPECT_EQ(registerItem(2, 2), -1);
    EXPECT_EQ(registerItem(0xFFFF, 2), -1); // -1: no selection
    EXPECT_EQ(registerItem(0x8000, 2), -1);
}

TEST(RegisterTable, HasARowForEveryRegisterButTheDebugTemperatureAndTheUnusedOnes) {
    std::set<std::string> controls;
    std::set<std::string> records;
    for (int reg = 0; reg <= 46; ++reg) {
        SCOPED_TRACE(reg);
        const HoldingRegister* row = findRegister(static_cast<std::uint16_t>(reg));
        if (reg >= 30 && reg <= 32) {
            EXPECT_EQ(row, nullptr);
            continue;
        }
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->reg, reg);
        controls.insert(controlName(row->control));
        records.insert(row->record);
    }
    EXPECT_EQ(findRegister(47), nullptr);
    EXPECT_EQ(holdingRegisters().size(), 44u);
    EXPECT_EQ(controls.size(), 44u) << "one control per register";
    EXPECT_EQ(records.size(), 44u) << "one record field per register";
}

TEST(RegisterTable, FindsARowByControlNameAndRecordField) {
    struct Case {
        const char* control;
        const char* record;
        int reg;
        const char* label;
    };
    const Case cases[]{
        {"Edit12", "InternalFan.StepRev", 0, "StepRev"},
        {"Edit7", "InternalFan.DeltTemp", 7, "DeltTemp"},
        {"Edit41", "InternalFan.PluseNo", 8, "PluseNo."},
        {"ComboBox2", "InternalFan.Fan2Enable", 10, "Intfan2"},
        {"Edit38", "ExternalFan.StopTemp", 17, "StopTemp"},
        {"Edit40", "ExternalFan.PluseNo", 19, "PlusNo."},
        {"Edit53", "Heater.DeltTemp", 23, "DeltTemp"},
        {"ComboBox5", "Heater.Enable", 26, "Dis/Enable"},
        {"Edit4", "Address", 27, ""},
        {"Edit16", "Calibration.Voltage", 36, "Voltage"},
        {"ComboBox7", "ExtInput.Type", 38, "Type"},
        {"Edit31", "Compressor.MaxRPM", 43, "MaxRPM"},
        {"Edit43", "HeatExchanger.MinDeltT", 46, "Min Delt-T"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        const HoldingRegister* byName = findControl(c.control);
        ASSERT_NE(byName, nullptr);
        EXPECT_EQ(byName->reg, c.reg);
        EXPECT_STREQ(byName->label, c.label);
        EXPECT_EQ(findRecord(c.record), byName);
        EXPECT_EQ(findControl(byName->control), byName);
        EXPECT_EQ(controlName(byName->control), c.control);
    }
    // Fields of the page that no register stands behind.
    for (const char* name : {"Edit17", "Edit19", "SWV", "ComboBox8", "edit12", "Edit"}) {
        EXPECT_EQ(findControl(name), nullptr) << name;
    }
    EXPECT_EQ(findControl(comboBox(12)), nullptr);
    EXPECT_EQ(findRecord("InternalFan"), nullptr);
    EXPECT_EQ(findRecord("StepRev"), nullptr);
}

// Read All empties every field it fills, except the address, the compressor's StartTemp and
// MaxRPM and the external input's boxes.
TEST(RegisterTable, ReadAllClearsAllButFiveFields) {
    std::set<std::string> kept;
    int cleared = 0;
    for (const HoldingRegister& row : holdingRegisters()) {
        if (row.clearedByReadAll) {
            ++cleared;
        } else {
            kept.insert(controlName(row.control));
        }
    }
    EXPECT_EQ(cleared, 39);
    EXPECT_EQ(kept, (std::set<std::string>{"Edit4", "Edit30", "Edit31", "ComboBox6", "ComboBox7"}));
}

// Each row's slot stages exactly one field of the record: no two rows share one, and what is
// stored reads back.
TEST(RegisterTable, EveryRowStagesItsOwnFieldOfTheRecord) {
    for (const HoldingRegister& row : holdingRegisters()) {
        SCOPED_TRACE(row.record);
        ControllerParameters parameters;
        row.slot.store(parameters, 1);
        EXPECT_NE(parameters, ControllerParameters{});
        EXPECT_EQ(row.slot.load(parameters), 1);
        for (const HoldingRegister& other : holdingRegisters()) {
            if (&other != &row) {
                EXPECT_EQ(other.slot.load(parameters), 0) << other.record;
            }
        }
    }
}

namespace {

// The words a Set accepts back for each register whose Set is narrower than what Read All shows;
// every other edit takes back every word.
const std::map<int, std::function<bool(std::uint16_t)>>& narrowerSets() {
    static const std::map<int, std::function<bool(std::uint16_t)>> sets{
        {8, [](std::uint16_t word) { return word <= 255; }},  // PluseNo: 8 bits
        {19, [](std::uint16_t word) { return word <= 255; }}, // PlusNo.: 8 bits
        {23, [](std::uint16_t word) { return word <= 255; }}, // Heater DeltTemp: 8 bits of tenths
        {27, [](std::uint16_t word) { return word >= 1 && word <= 255; }},   // slave address
        {39, [](std::uint16_t word) { return word >= 500 && word <= 700; }}, // 50.0 ... 70.0 V
        {40, [](std::uint16_t word) { return word >= 240 && word <= 470; }}, // 24.0 ... 47.0 V
    };
    return sets;
}

} // namespace

// What Read All shows in a field, set back, sends the very word it was read from, or the Set
// refuses it as out of range: never a different word, and never a text it cannot convert.
TEST(RegisterTable, WhatReadAllShowsSetsBackTheSameWordOrIsOutOfRange) {
    for (const HoldingRegister& row : holdingRegisters()) {
        SCOPED_TRACE(controlName(row.control));
        const auto narrower = narrowerSets().find(row.reg);
        const int items = static_cast<int>(fieldItems(row).size());
        for (std::uint32_t word = 0; word <= 0xFFFF; ++word) {
            const auto value = static_cast<std::uint16_t>(word);
            if (row.control.kind == Control::Kind::ComboBox) {
                // The item Read All selects; none for a word that is not an item's index.
                const int item = registerItem(value, items);
                ASSERT_EQ(wordForItem(row, item), item >= 0 ? std::optional(value) : std::nullopt);
                continue;
            }
            const std::string text = shownText(row, value);
            const bool accepted = narrower == narrowerSets().end() || narrower->second(value);
            std::optional<std::uint16_t> sent;
            ASSERT_NO_THROW(sent = wordForText(row, text)) << text;
            ASSERT_EQ(sent, accepted ? std::optional(value) : std::nullopt) << text;
        }
    }
}

TEST(RegisterTable, ComboBoxesSendTheirItemAndRefuseNoSelection) {
    for (const HoldingRegister& row : holdingRegisters()) {
        if (row.control.kind != Control::Kind::ComboBox) {
            continue;
        }
        SCOPED_TRACE(controlName(row.control));
        EXPECT_EQ(wordForItem(row, 0), 0);
        EXPECT_EQ(wordForItem(row, 1), 1);
        EXPECT_EQ(wordForItem(row, -1), std::nullopt);
        EXPECT_EQ(wordForItem(row, 2), std::nullopt);
        EXPECT_THROW((void)shownText(row, 1), std::logic_error);
        EXPECT_THROW((void)wordForText(row, "1"), std::logic_error);
    }
    EXPECT_THROW((void)wordForItem(*findControl("Edit12"), 1), std::logic_error);
}

// Fields whose Set takes less than Read All can show.
TEST(RegisterTable, SetRulesOfSingleFields) {
    // Tenths held in 8 bits: refused beyond them, never cut.
    const HoldingRegister& heaterDelta = *findRecord("Heater.DeltTemp");
    EXPECT_EQ(shownText(heaterDelta, 25), "2.5");
    EXPECT_EQ(wordForText(heaterDelta, "2.5"), 25);
    EXPECT_EQ(wordForText(heaterDelta, "3"), 30);
    EXPECT_EQ(wordForText(heaterDelta, "2.55"), 25);
    EXPECT_EQ(wordForText(heaterDelta, "25.5"), 255);
    EXPECT_EQ(wordForText(heaterDelta, "26"), std::nullopt);
    EXPECT_EQ(wordForText(heaterDelta, "25.6"), std::nullopt);
    EXPECT_EQ(wordForText(heaterDelta, "-0.1"), std::nullopt);

    const HoldingRegister& pulses = *findRecord("InternalFan.PluseNo");
    EXPECT_EQ(shownText(pulses, 300), "300");
    EXPECT_EQ(wordForText(pulses, "300"), std::nullopt);
    EXPECT_THROW((void)wordForText(pulses, "2.0"), ConversionError);

    const HoldingRegister& address = *findRecord("Address");
    EXPECT_EQ(shownText(address, 0xFFFF), "-1");
    EXPECT_EQ(wordForText(address, "-1"), std::nullopt);
    EXPECT_EQ(wordForText(address, " 7 "), 7);

    const HoldingRegister& maxRpm = *findRecord("Compressor.MaxRPM");
    EXPECT_EQ(shownText(maxRpm, 0x8000), "-32768");
    EXPECT_EQ(wordForText(maxRpm, "-32768"), 0x8000);

    const HoldingRegister& maxRev = *findRecord("ExternalFan.MaxRev");
    EXPECT_EQ(shownText(maxRev, 0x8000), "32768");
    EXPECT_EQ(wordForText(maxRev, "32768"), 0x8000);
    EXPECT_EQ(wordForText(maxRev, "-1"), std::nullopt);
}

TEST(FirmwareVersionText, EndsAtTheFirstZeroByteAndDecodesCodePage936) {
    auto bytesOf = [](std::string_view text) {
        std::array<std::uint8_t, 24> bytes{};
        std::copy(text.begin(), text.end(), bytes.begin());
        return bytes;
    };
    EXPECT_EQ(decodeFirmwareVersion(bytesOf("V1.02")), QStringLiteral("V1.02"));
    EXPECT_EQ(decodeFirmwareVersion(bytesOf("")), QString());
    EXPECT_EQ(decodeFirmwareVersion(bytesOf("ABCDEFGHIJKLMNOPQRSTUVWX")),
              QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWX"));
    // Bytes after the first zero are not part of the text.
    auto split = bytesOf("V2");
    split[3] = 'X';
    EXPECT_EQ(decodeFirmwareVersion(split), QStringLiteral("V2"));
    // "版本V3.1" in GBK: two-byte characters, shown the same on any system.
    EXPECT_EQ(decodeFirmwareVersion(bytesOf("\xB0\xE6\xB1\xBE"
                                            "V3.1")),
              QString::fromUtf8("版本V3.1"));
}

#include "GroupFixtures.h"

#include "config/FieldSource.h"
#include "config/ParameterGroups.h"
#include "link/NumberText.h"
#include "support/FrameHex.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <variant>

using namespace climate::config;
using namespace climate::link;

namespace {

// The page's fields as plain maps: the fixture, with single fields changed by a test.
class MapFields : public FieldSource {
public:
    MapFields() : m_edits(fixtureEdits()), m_combos(fixtureCombos()) {}

    [[nodiscard]] std::string editText(int number) const override { return m_edits.at(number); }
    [[nodiscard]] int selectedItem(int number) const override { return m_combos.at(number); }

    void setEdit(int number, std::string text) { m_edits.at(number) = std::move(text); }
    void setCombo(int number, int item) { m_combos.at(number) = item; }

private:
    std::map<int, std::string> m_edits;
    std::map<int, int> m_combos;
};

std::size_t fieldIndex(const ParameterGroup& group, Control control) {
    for (std::size_t i = 0; i < group.fields.size(); ++i) {
        if (group.fields[i]->control == control) {
            return i;
        }
    }
    ADD_FAILURE() << "control " << control.number << " is not in the group";
    return 0;
}

// A field converted by its group's rule: the number, or the conversion error's text.
using Conversion = std::variant<std::int64_t, std::string>;

// `command` names the group whose Set converts the field, as the cases read.
Conversion convertEdit(ConfigCommand command, int editNumber, const std::string& text) {
    const HoldingRegister* field = findControl(edit(editNumber));
    EXPECT_TRUE(field != nullptr && field->group == command) << editNumber;
    try {
        return convertText(*field, text);
    } catch (const ConversionError& error) {
        return std::string(error.what());
    }
}

// The conversion error a group's staging stops at; "" when every field converts.
std::string firstConversionError(const ParameterGroup& group, const FieldSource& fields) {
    ControllerParameters parameters;
    const std::optional<GroupRefusal> refusal = stageOrRefuse(group, fields, parameters);
    return refusal && refusal->notConverted ? refusal->notConverted->what() : "";
}

std::string describe(const Conversion& conversion) {
    if (const auto* value = std::get_if<std::int64_t>(&conversion)) {
        return std::to_string(*value);
    }
    return "error: " + std::get<std::string>(conversion);
}

struct ConversionCase {
    std::string text;
    Conversion expected;
};

std::string notFloat(const std::string& trimmedText) {
    return "'" + trimmedText + "' is not a valid floating point value";
}
std::string notInteger(const std::string& trimmedText) {
    return "'" + trimmedText + "' is not a valid integer value";
}

} // namespace

// Tenths are taken from the decimal number as typed, truncated toward zero. The fields checked
// belong to groups that once converted through single (fans, calibration, heater) and double
// (alarms, heat exchanger, compressor) precision floats: all now follow one exact rule.
TEST(TenthsConversion, TruncatesTheTypedDecimalNumberExactly) {
    const std::vector<ConversionCase> cases{
        {"25.3", std::int64_t{253}},     {"0.3", std::int64_t{3}},
        {"-0.3", std::int64_t{-3}},      {"12.7", std::int64_t{127}},
        {"25.36", std::int64_t{253}},    {"-5.5", std::int64_t{-55}},
        {"47.05", std::int64_t{470}},    {"70.1", std::int64_t{701}},
        {"-0.05", std::int64_t{0}},      {"-25.39", std::int64_t{-253}},
        {"0", std::int64_t{0}},          {"-0", std::int64_t{0}},
        {"+0.3", std::int64_t{3}},       {".5", std::int64_t{5}},
        {"5.", std::int64_t{50}},        {"2.53e1", std::int64_t{253}},
        {"253E-1", std::int64_t{253}},   {"1e2", std::int64_t{1000}},
        {" 25.3 ", std::int64_t{253}},   {"\t12.7\n", std::int64_t{127}},
        {"3276.7", std::int64_t{32767}}, {"", notFloat("")},
        {"   ", notFloat("")},           {"abc", notFloat("abc")},
        {"25,3", notFloat("25,3")},      {" 2 5 ", notFloat("2 5")},
        {"1e", notFloat("1e")},          {"e5", notFloat("e5")},
        {"--1", notFloat("--1")},        {"0x10", notFloat("0x10")},
        {"inf", notFloat("inf")},        {"nan", notFloat("nan")},
        {"25.3V", notFloat("25.3V")},
    };
    const std::vector<std::pair<ConfigCommand, int>> fields{
        {ConfigCommand::SetInternalFan, 14},   {ConfigCommand::SetCalibration, 1},
        {ConfigCommand::SetHeater, 52},        {ConfigCommand::SetTempAlarm, 24},
        {ConfigCommand::SetHeatExchanger, 33}, {ConfigCommand::SetCompressor, 30},
        {ConfigCommand::SetVoltageAlarm, 18}};
    for (const auto& [command, editNumber] : fields) {
        for (const ConversionCase& c : cases) {
            SCOPED_TRACE("Edit" + std::to_string(editNumber) + " '" + c.text + "'");
            EXPECT_EQ(describe(convertEdit(command, editNumber, c.text)), describe(c.expected));
        }
    }
}

TEST(IntegerConversion, TakesWholeNumbersAndRefusesTheRest) {
    const std::vector<ConversionCase> integerCases{
        {"1500", std::int64_t{1500}},
        {" 42 ", std::int64_t{42}},
        {"+7", std::int64_t{7}},
        {"-1", std::int64_t{-1}},
        {"2147483647", std::int64_t{2147483647}},
        {"", notInteger("")},
        {"2.5", notInteger("2.5")},
        {"1e3", notInteger("1e3")},
        {"abc", notInteger("abc")},
        {" 1 2 ", notInteger("1 2")},
        {"2147483648", notInteger("2147483648")},
    };
    for (const int editNumber : {12, 41}) {
        for (const ConversionCase& c : integerCases) {
            SCOPED_TRACE("Edit" + std::to_string(editNumber) + " '" + c.text + "'");
            EXPECT_EQ(describe(convertEdit(ConfigCommand::SetInternalFan, editNumber, c.text)),
                      describe(c.expected));
        }
    }
    for (const ConversionCase& c : integerCases) {
        SCOPED_TRACE("Edit31 '" + c.text + "'");
        EXPECT_EQ(describe(convertEdit(ConfigCommand::SetCompressor, 31, c.text)),
                  describe(c.expected));
    }
}

// The heater's DeltTemp takes tenths, as Read All shows it; only its range is narrower.
TEST(HeaterHysteresisConversion, TakesTenthsAsReadAllShowsThem) {
    const std::vector<ConversionCase> cases{
        {"2.5", std::int64_t{25}},   {" 3 ", std::int64_t{30}}, {"2.55", std::int64_t{25}},
        {"25.5", std::int64_t{255}}, {"-1", std::int64_t{-10}}, {"", notFloat("")},
        {"x", notFloat("x")},
    };
    for (const ConversionCase& c : cases) {
        SCOPED_TRACE("Edit53 '" + c.text + "'");
        EXPECT_EQ(describe(convertEdit(ConfigCommand::SetHeater, 53, c.text)),
                  describe(c.expected));
    }
}

// Every field is converted before any range is looked at, in the handler's order.
TEST(GroupConversion, FirstUnconvertibleTextWinsOverRangeErrors) {
    MapFields fields;
    fields.setEdit(5, "65536"); // MaxRev out of range, converted first
    fields.setEdit(7, "delta"); // DeltTemp is converted before StopTemp
    fields.setEdit(6, "stop");
    fields.setCombo(1, -1); // no item selected
    ControllerParameters parameters;
    try {
        (void)stageGroup(parameterGroup(ConfigCommand::SetInternalFan), fields, parameters);
        FAIL() << "no conversion error";
    } catch (const ConversionError& error) {
        EXPECT_STREQ(error.what(), "'delta' is not a valid floating point value");
    }
    EXPECT_EQ(parameters, ControllerParameters{});

    MapFields heater;
    heater.setEdit(52, "start"); // StartTemp comes after the currents
    heater.setEdit(51, "min");
    EXPECT_EQ(firstConversionError(parameterGroup(ConfigCommand::SetHeater), heater),
              "'min' is not a valid floating point value");
}

// What each group writes, and the order its handler converts the fields in, written out from the
// controller's documentation rather than from the register table.
TEST(GroupLayout, EachGroupWritesOneRunAndConvertsInItsHandlersOrder) {
    struct Expected {
        ConfigCommand command;
        std::uint16_t firstRegister;
        std::uint16_t registerCount;
        std::vector<std::string> conversionOrder;
    };
    using enum ConfigCommand;
    const std::vector<Expected> groups{
        {SetInternalFan,
         0,
         11,
         {"Edit12", "Edit5", "Edit13", "Edit14", "Edit27", "Edit9", "Edit7", "Edit6", "Edit41",
          "ComboBox1", "ComboBox2"}},
        {SetExternalFan,
         11,
         11,
         {"Edit34", "Edit8", "Edit35", "Edit36", "Edit37", "Edit15", "Edit39", "Edit38", "Edit40",
          "ComboBox3", "ComboBox4"}},
        {SetHeater, 22, 5, {"Edit50", "Edit51", "Edit52", "Edit53", "ComboBox5"}},
        {SetTempAlarm, 28, 2, {"Edit24", "Edit25"}},
        {SetCalibration, 33, 4, {"Edit1", "Edit2", "Edit10", "Edit16"}},
        {SetExtInput, 37, 2, {"ComboBox6", "ComboBox7"}},
        {SetAddress, 27, 1, {"Edit4"}},
        {SetVoltageAlarm, 39, 2, {"Edit18", "Edit28"}},
        {SetCompressor, 41, 3, {"Edit30", "Edit29", "Edit31"}},
        {SetHeatExchanger, 44, 3, {"Edit42", "Edit33", "Edit43"}},
    };
    ASSERT_EQ(parameterGroups().size(), groups.size());
    for (const Expected& expected : groups) {
        const ParameterGroup& group = parameterGroup(expected.command);
        SCOPED_TRACE(group.caption);
        EXPECT_EQ(group.firstRegister, expected.firstRegister);
        EXPECT_EQ(group.registerCount, expected.registerCount);
        std::vector<std::string> order;
        for (const HoldingRegister* field : group.fields) {
            order.push_back(controlName(field->control));
        }
        EXPECT_EQ(order, expected.conversionOrder);

        // With every edit of the group unconvertible, the errors come out in that order.
        MapFields fields;
        std::vector<std::string> edits;
        for (const std::string& name : expected.conversionOrder) {
            if (name.starts_with("Edit")) {
                edits.push_back(name);
                fields.setEdit(std::stoi(name.substr(4)), "bad" + name);
            }
        }
        for (const std::string& name : edits) {
            const std::string error = firstConversionError(group, fields);
            EXPECT_NE(error.find("'bad" + name + "'"), std::string::npos) << error;
            const int number = std::stoi(name.substr(4));
            fields.setEdit(number, fixtureEdits().at(number));
        }
        EXPECT_EQ(firstConversionError(group, fields), "");
    }
    EXPECT_THROW((void)parameterGroup(ConfigCommand::ReadAll), std::logic_error);
}

TEST(GroupFrames, EachGroupSendsItsRegistersByteForByte) {
    for (const GroupFixture& fixture : groupFixtures()) {
        SCOPED_TRACE(fixture.name);
        const ParameterGroup& group = parameterGroup(fixture.command);
        ControllerParameters parameters;
        ASSERT_TRUE(stageGroup(group, MapFields(), parameters));
        EXPECT_EQ(toHex(bytesOf(buildGroupFrame(group, parameters, 1))),
                  toHex(fromHex(fixture.frame)));
    }
}

namespace {

struct EdgeCase {
    ConfigCommand command;
    Control control;
    std::string text;                  // for an edit
    int item = 0;                      // for a combo box
    std::optional<std::uint16_t> word; // what goes into the field's register; none: refused
};

std::string label(const EdgeCase& c) {
    return (c.control.kind == Control::Kind::Edit ? "Edit" : "ComboBox") +
           std::to_string(c.control.number) + " '" + c.text + "' item " + std::to_string(c.item);
}

void checkEdges(const std::vector<EdgeCase>& cases) {
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(label(c));
        const ParameterGroup& group = parameterGroup(c.command);
        MapFields fields;
        if (c.control.kind == Control::Kind::Edit) {
            fields.setEdit(c.control.number, c.text);
        } else {
            fields.setCombo(c.control.number, c.item);
        }
        ControllerParameters parameters;
        const bool staged = stageGroup(group, fields, parameters);
        ASSERT_EQ(staged, c.word.has_value());
        if (!staged) {
            EXPECT_EQ(parameters, ControllerParameters{}) << "a refused Set stages nothing";
            continue;
        }
        const HoldingRegister& field = *group.fields[fieldIndex(group, c.control)];
        const std::vector<std::uint16_t> words = groupWords(group, parameters);
        EXPECT_EQ(words.at(field.reg - group.firstRegister), *c.word);
    }
}

} // namespace

// A value that does not fit the width the controller holds it in is refused, never cut.
TEST(FieldWidths, ValuesAtTheEdgesGoOutWholeAndBeyondAreRefused) {
    using enum ConfigCommand;
    checkEdges({
        {SetInternalFan, edit(5), "65535", 0, 0xFFFF},
        {SetInternalFan, edit(5), "65536", 0, std::nullopt},
        {SetInternalFan, edit(5), "-1", 0, std::nullopt},
        {SetExternalFan, edit(34), "0", 0, 0x0000},
        {SetExternalFan, edit(35), "100000", 0, std::nullopt},
        {SetInternalFan, edit(41), "255", 0, 0x00FF},
        {SetInternalFan, edit(41), "256", 0, std::nullopt},
        {SetExternalFan, edit(40), "-1", 0, std::nullopt},
        {SetInternalFan, edit(6), "-5.5", 0, 0xFFC9},
        {SetInternalFan, edit(14), "3276.7", 0, 0x7FFF},
        {SetInternalFan, edit(14), "3276.8", 0, std::nullopt},
        {SetInternalFan, edit(27), "-3276.8", 0, 0x8000},
        {SetInternalFan, edit(27), "-3276.9", 0, std::nullopt},
        {SetExternalFan, edit(38), "1e10", 0, std::nullopt},
        {SetHeater, edit(53), "25", 0, 0x00FA},
        {SetHeater, edit(53), "3", 0, 0x001E},
        {SetHeater, edit(53), "26", 0, std::nullopt},
        {SetHeater, edit(53), "-1", 0, std::nullopt},
        {SetHeater, edit(50), "3276.7", 0, 0x7FFF},
        {SetHeater, edit(50), "3276.8", 0, std::nullopt},
        {SetHeater, edit(51), "-3276.9", 0, std::nullopt},
        {SetTempAlarm, edit(25), "-3276.8", 0, 0x8000},
        {SetCalibration, edit(16), "4000", 0, std::nullopt},
        {SetCompressor, edit(31), "32767", 0, 0x7FFF},
        {SetCompressor, edit(31), "32768", 0, std::nullopt},
        {SetCompressor, edit(31), "-32768", 0, 0x8000},
        {SetCompressor, edit(29), "-3276.9", 0, std::nullopt},
        {SetHeatExchanger, edit(43), "3276.8", 0, std::nullopt},
    });
}

TEST(FieldWidths, EveryEnableAndTypeBoxNeedsASelectedItem) {
    using enum ConfigCommand;
    checkEdges({
        {SetInternalFan, comboBox(1), "", -1, std::nullopt},
        {SetInternalFan, comboBox(2), "", -1, std::nullopt},
        {SetExternalFan, comboBox(3), "", -1, std::nullopt},
        {SetExternalFan, comboBox(4), "", -1, std::nullopt},
        {SetHeater, comboBox(5), "", -1, std::nullopt},
        {SetExtInput, comboBox(6), "", -1, std::nullopt},
        {SetExtInput, comboBox(7), "", -1, std::nullopt},
        {SetInternalFan, comboBox(2), "", 1, 0x0001},
        {SetExtInput, comboBox(7), "", 1, 0x0001},
        {SetHeater, comboBox(5), "", 0, 0x0000},
    });
}

TEST(AcceptedRanges, VoltageAlarmLimitsInTenthsOfAVolt) {
    using enum ConfigCommand;
    checkEdges({
        {SetVoltageAlarm, edit(18), "70", 0, 700},
        {SetVoltageAlarm, edit(18), "50", 0, 500},
        {SetVoltageAlarm, edit(18), "70.1", 0, std::nullopt},
        {SetVoltageAlarm, edit(18), "70.09", 0, 700},
        {SetVoltageAlarm, edit(18), "49.99", 0, std::nullopt},
        {SetVoltageAlarm, edit(28), "24", 0, 240},
        {SetVoltageAlarm, edit(28), "47.05", 0, 470},
        {SetVoltageAlarm, edit(28), "47.1", 0, std::nullopt},
        {SetVoltageAlarm, edit(28), "23.99", 0, std::nullopt},
    });
}

TEST(AcceptedRanges, SlaveAddressOneTo255) {
    using enum ConfigCommand;
    checkEdges({
        {SetAddress, edit(4), "255", 0, 0x00FF},
        {SetAddress, edit(4), "1", 0, 0x0001},
        {SetAddress, edit(4), "0", 0, std::nullopt},
        {SetAddress, edit(4), "256", 0, std::nullopt},
        {SetAddress, edit(4), "-1", 0, std::nullopt},
    });
}

TEST(GroupLookup, ACommandThatWritesNoGroupIsALogicError) {
    EXPECT_EQ(parameterGroup(ConfigCommand::SetHeater).command, ConfigCommand::SetHeater);
    EXPECT_THROW((void)parameterGroup(ConfigCommand::ReadAll), std::logic_error);
}

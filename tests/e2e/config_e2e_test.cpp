// The Configuration page against the controller simulator: Read All, every group's Set, the
// controller's address, the address the tool talks to and the firmware version, all through the
// window over the pseudo-terminal. What a Set changed is checked in the simulator itself.
#include "GroupWrites.h"
#include "WindowOnSimulator.h"

#include "link/CommEngine.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

using namespace climate::config;

namespace {

// How Read All shows a register: the controller map, written out independently of the tool.
enum class Form { Unsigned, Signed, Tenths, Item };
struct Shown {
    int reg;
    const char* control;
    Form form;
};
const std::vector<Shown> RegisterMap{
    {0, "Edit12", Form::Unsigned}, {1, "Edit5", Form::Unsigned},   {2, "Edit13", Form::Unsigned},
    {3, "Edit14", Form::Tenths},   {4, "Edit27", Form::Tenths},    {5, "Edit9", Form::Tenths},
    {6, "Edit6", Form::Tenths},    {7, "Edit7", Form::Tenths},     {8, "Edit41", Form::Unsigned},
    {9, "ComboBox1", Form::Item},  {10, "ComboBox2", Form::Item},  {11, "Edit34", Form::Unsigned},
    {12, "Edit8", Form::Unsigned}, {13, "Edit35", Form::Unsigned}, {14, "Edit36", Form::Tenths},
    {15, "Edit37", Form::Tenths},  {16, "Edit15", Form::Tenths},   {17, "Edit38", Form::Tenths},
    {18, "Edit39", Form::Tenths},  {19, "Edit40", Form::Unsigned}, {20, "ComboBox3", Form::Item},
    {21, "ComboBox4", Form::Item}, {22, "Edit52", Form::Tenths},   {23, "Edit53", Form::Tenths},
    {24, "Edit50", Form::Tenths},  {25, "Edit51", Form::Tenths},   {26, "ComboBox5", Form::Item},
    {27, "Edit4", Form::Signed},   {28, "Edit24", Form::Tenths},   {29, "Edit25", Form::Tenths},
    {33, "Edit1", Form::Tenths},   {34, "Edit2", Form::Tenths},    {35, "Edit10", Form::Tenths},
    {36, "Edit16", Form::Tenths},  {37, "ComboBox6", Form::Item},  {38, "ComboBox7", Form::Item},
    {39, "Edit18", Form::Tenths},  {40, "Edit28", Form::Tenths},   {41, "Edit30", Form::Tenths},
    {42, "Edit29", Form::Tenths},  {43, "Edit31", Form::Signed},   {44, "Edit42", Form::Tenths},
    {45, "Edit33", Form::Tenths},  {46, "Edit43", Form::Tenths},
};

QString expectedText(Form form, std::uint16_t word) {
    const auto value = static_cast<std::int16_t>(word);
    switch (form) {
    case Form::Unsigned:
        return QString::number(word);
    case Form::Signed:
        return QString::number(value);
    case Form::Tenths:
        return QString::number(value / 10.0, 'g', 15);
    case Form::Item:
        break;
    }
    return {};
}

class ConfigE2eTest : public WindowOnSimulator {
protected:
    void SetUp() override {
        WindowOnSimulator::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        ASSERT_EQ(child<QTabWidget>("Data")->currentIndex(), 0);
    }

    // Shows the texts Read All must show for `registers`; failures name the control.
    void expectFieldsShow(const std::vector<std::uint16_t>& registers) {
        for (const Shown& shown : RegisterMap) {
            const std::uint16_t word = registers.at(static_cast<std::size_t>(shown.reg));
            if (shown.form == Form::Item) {
                const int item = static_cast<std::int16_t>(word);
                EXPECT_EQ(combo(shown.control)->currentIndex(), item == 0 || item == 1 ? item : -1)
                    << shown.control << " register " << shown.reg;
            } else {
                EXPECT_EQ(edit(shown.control)->text(), expectedText(shown.form, word))
                    << shown.control << " register " << shown.reg;
            }
        }
    }
};

TEST_F(ConfigE2eTest, ReadAllFillsEveryFieldFromTheSimulatorsHoldingRegisters) {
    for (const char* line : {"set hr 0 65535", "set hr 3 253", "set hr 7 -55", "set hr 10 2",
                             "set hr 17 -200", "set hr 38 1", "set hr 43 -1", "set hr 46 701"}) {
        ASSERT_TRUE(sim.commandOk(QString::fromLatin1(line))) << line;
    }
    ASSERT_TRUE(clickAndWait("Button12"));
    EXPECT_TRUE(messages->shown().empty()) << messages->describe();

    expectFieldsShow(simulatorHolding());
    EXPECT_EQ(edit("Edit12")->text(), "65535");
    EXPECT_EQ(edit("Edit14")->text(), "25.3");
    EXPECT_EQ(edit("Edit7")->text(), "-5.5");
    EXPECT_EQ(combo("ComboBox2")->currentIndex(), -1);
    EXPECT_TRUE(combo("ComboBox2")->currentText().isEmpty());
    EXPECT_EQ(combo("ComboBox7")->currentText(), "NC");
    EXPECT_EQ(edit("Edit31")->text(), "-1");
    EXPECT_EQ(edit("Edit4")->text(), "1");
    EXPECT_EQ(form->engine().state().LinkAliveTicks, 30);
}

TEST_F(ConfigE2eTest, EachSetChangesExactlyItsRegistersInTheSimulator) {
    for (const GroupWrite& write : groupWrites()) {
        SCOPED_TRACE(write.button);
        typeGroup(write);
        std::vector<std::uint16_t> expected = simulatorHolding();
        std::copy(write.words.begin(), write.words.end(), expected.begin() + write.firstRegister);
        ASSERT_NE(expected, simulatorHolding()) << "the texts change nothing";

        const std::size_t boxes = messages->shown().size();
        ASSERT_TRUE(clickAndWait(write.button));
        ASSERT_EQ(messages->shown().size(), boxes + 1) << messages->describe();
        EXPECT_EQ(messages->shown().back().message.caption, write.successCaption);
        messages->close(boxes);
        EXPECT_EQ(simulatorHolding(), expected);
    }
}

TEST_F(ConfigE2eTest, ValuesBeyondTheirWidthAreRefusedAndTheSimulatorKeepsItsRegisters) {
    const std::vector<std::uint16_t> before = simulatorHolding();
    const QString stats = sim.command(QStringLiteral("stats"));
    const std::vector<std::pair<std::string, const char*>> refusals{
        {"Edit5", "Set"}, {"Edit40", "Button10"}, {"Edit53", "Button15"}, {"Edit18", "Button9"}};
    const std::map<std::string, const char*> texts{
        {"Edit5", "65536"}, {"Edit40", "256"}, {"Edit53", "26"}, {"Edit18", "70.1"}};
    for (const auto& [field, name] : refusals) {
        SCOPED_TRACE(field);
        edit(field)->setText(QString::fromLatin1(texts.at(field)));
        const std::size_t boxes = messages->shown().size();
        button(name)->click();
        ASSERT_EQ(messages->shown().size(), boxes + 1);
        EXPECT_EQ(messages->shown().back().message.text, "Data out of range!!");
        EXPECT_EQ(messages->shown().back().message.caption, "Set Unsuccessfully");
        EXPECT_FALSE(form->engine().state().CommandBusy);
    }
    ASSERT_TRUE(waitTimerTicks("Timer2", 40)) << "forty engine ticks for anything to go out";
    EXPECT_EQ(simulatorHolding(), before);
    EXPECT_EQ(sim.command(QStringLiteral("stats")), stats) << "nothing was sent";
}

// Read All, then every Set with the texts as Read All left them: not a register moves.
TEST_F(ConfigE2eTest, ReadAllThenEverySetLeavesTheSimulatorsRegistersUnchanged) {
    // Tenths that binary floating point would lower by one, negative ones, the voltage limits.
    for (const char* line :
         {"set hr 3 253", "set hr 4 127", "set hr 5 3", "set hr 6 -3", "set hr 14 701",
          "set hr 24 47", "set hr 34 -55", "set hr 44 251", "set hr 39 700", "set hr 40 470"}) {
        ASSERT_TRUE(sim.commandOk(QString::fromLatin1(line))) << line;
    }
    const std::vector<std::uint16_t> before = simulatorHolding();

    ASSERT_TRUE(clickAndWait("Button12"));
    for (const char* name : {"Set", "Button10", "Button15", "Button11", "Button3", "Button4",
                             "Button7", "Button9", "Button14", "Button18"}) {
        SCOPED_TRACE(name);
        const std::size_t boxes = messages->shown().size();
        ASSERT_TRUE(clickAndWait(name));
        ASSERT_EQ(messages->shown().size(), boxes + 1) << messages->describe();
        messages->close(boxes);
    }
    EXPECT_EQ(simulatorHolding(), before);
    EXPECT_TRUE(sim.command(QStringLiteral("stats")).contains(QStringLiteral("fc16=10")))
        << sim.command(QStringLiteral("stats")).toStdString();
}

TEST_F(ConfigE2eTest, AddressSetMovesTheToolToTheControllersNewAddress) {
    edit("Edit4")->setText(QStringLiteral("7"));
    ASSERT_TRUE(clickAndWait("Button7"));
    ASSERT_EQ(messages->shown().size(), 1u) << messages->describe();
    EXPECT_EQ(messages->shown()[0].message.text, "Set Successfully");
    EXPECT_EQ(messages->shown()[0].message.caption, "Extinput Option");
    EXPECT_EQ(simulatorHolding().at(27), 7);
    EXPECT_EQ(form->engine().state().DeviceAddress, 1u) << "switches when the box is closed";

    messages->close(0);
    EXPECT_EQ(form->engine().state().DeviceAddress, 7u);
    EXPECT_EQ(edit("Edit17")->text(), "1");

    // The simulator answers only its own address: a Read All that fills the fields went to 7.
    ASSERT_TRUE(clickAndWait("Button12"));
    EXPECT_EQ(edit("Edit4")->text(), "7");
    EXPECT_EQ(edit("Edit12")->text(), expectedText(Form::Unsigned, simulatorHolding().at(0)));
}

TEST_F(ConfigE2eTest, CommAddressChoosesTheSlaveTheToolTalksTo) {
    ASSERT_TRUE(sim.commandOk(QStringLiteral("address 9")));
    ASSERT_TRUE(clickAndWait("Button12")); // to slave 1: nobody answers
    EXPECT_TRUE(edit("Edit12")->text().isEmpty());

    edit("Edit17")->setText(QStringLiteral("9"));
    button("Button8")->click();
    EXPECT_EQ(form->engine().state().DeviceAddress, 9u);
    ASSERT_TRUE(clickAndWait("Button12"));
    EXPECT_EQ(edit("Edit4")->text(), "9");
    expectFieldsShow(simulatorHolding());
    EXPECT_TRUE(messages->shown().empty()) << messages->describe();
}

TEST_F(ConfigE2eTest, FirmwareVersionShowsTheSimulatorsText) {
    ASSERT_TRUE(clickAndWait("Button5"));
    EXPECT_EQ(form->findChild<QLineEdit*>(QStringLiteral("SWV"))->text(), "DCAC-HEX V1.00");

    // "版本V2" in code page 936, then zero bytes.
    const char* lines[]{"set ir 15 0xB0E6", "set ir 16 0xB1BE", "set ir 17 0x5632", "set ir 18 0",
                        "set ir 19 0",      "set ir 20 0",      "set ir 21 0",      "set ir 22 0",
                        "set ir 23 0",      "set ir 24 0",      "set ir 25 0",      "set ir 26 0"};
    for (const char* line : lines) {
        ASSERT_TRUE(sim.commandOk(QString::fromLatin1(line))) << line;
    }
    ASSERT_TRUE(clickAndWait("Button5"));
    EXPECT_EQ(form->findChild<QLineEdit*>(QStringLiteral("SWV"))->text(),
              QString::fromUtf8("版本V2"));
    EXPECT_TRUE(messages->shown().empty()) << messages->describe();
}

} // namespace

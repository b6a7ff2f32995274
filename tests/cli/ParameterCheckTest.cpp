// write and verify compare a parameter file with what Read All returned: by the word the group's
// Set would send, over the groups write sends, and only for the fields the file holds.
#include "cli/ParameterCheck.h"

#include "config/HoldingRegisters.h"
#include "config/ParameterFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

using namespace climate::cli;
using namespace climate::config;

namespace {

// A controller in its usual state (the simulator's).
constexpr std::array<std::uint16_t, 47> Controller{
    200, 2500, 1000, 50, 350, 250, 200, 30,  2,   1,   1,  200,  3000, 1200,  50,   400,
    300, 250,  30,   2,  1,   1,   50,  50,  150, 20,  1,  1,    550,  65486, 1100, 0,
    0,   0,    0,    0,  0,   0,   0,   580, 420, 300, 50, 4500, 250,  50,    50};

std::size_t fieldOf(std::uint16_t reg) {
    return static_cast<std::size_t>(findRegister(reg) - holdingRegisters().data());
}

// The file the controller's own state gives, every field held. (The texts are a model, which
// stays where it was made: the set is filled in place.)
void fillFromController(ParameterSet& set) {
    set.texts.showRegisters(Controller);
    set.held.assign(set.texts.fields().size(), true);
}

TEST(ParameterCheck, TheControllersOwnStateMatches) {
    ParameterSet set;
    fillFromController(set);
    const ParameterComparison comparison = compareWithController(set, Controller);
    EXPECT_TRUE(comparison.differences.empty());
    // Every field but Calibration's four and the address.
    EXPECT_EQ(comparison.compared, static_cast<int>(holdingRegisters().size()) - 5);
}

TEST(ParameterCheck, FieldsDifferByTheWordTheirSetWouldSend) {
    const struct {
        std::uint16_t reg;
        const char* text;
        bool differs;
        const char* controller; // what Read All shows
    } cases[] = {
        {28, "55.0", false, "55"},  // tenths written another way: the same word
        {28, "55.04", false, "55"}, // the Set truncates to tenths
        {28, "55.1", true, "55"},    {29, "-5", false, "-5"}, // a negative word
        {0, "201", true, "200"},     {0, "", true, "200"},    // an empty field: the Set refuses it
        {0, "abc", true, "200"},     {26, "Disable", true, "Enable"},
        {26, "", true, "Enable"},    // a combo box with nothing selected
        {43, "70000", true, "4500"}, // beyond the register's range
    };
    for (const auto& [reg, text, differs, controller] : cases) {
        SCOPED_TRACE(std::string(text) + " in register " + std::to_string(reg));
        ParameterSet set;
        fillFromController(set);
        set.texts.setText(fieldOf(reg), QString::fromLatin1(text));
        const ParameterComparison comparison = compareWithController(set, Controller);
        ASSERT_EQ(comparison.differences.size(), differs ? 1u : 0u);
        if (differs) {
            const FieldDifference& difference = comparison.differences.front();
            EXPECT_EQ(difference.reg, reg);
            EXPECT_EQ(difference.fileText, set.texts.text(fieldOf(reg)));
            EXPECT_EQ(difference.controllerText, QString::fromLatin1(controller));
        }
    }
}

TEST(ParameterCheck, CalibrationAddressAndFieldsNotInTheFileAreNotCompared) {
    ParameterSet set;
    fillFromController(set);
    set.texts.setText(fieldOf(33), QStringLiteral("9.9")); // calibration
    set.texts.setText(fieldOf(27), QStringLiteral("12"));  // the controller's address
    set.texts.setText(fieldOf(5), QStringLiteral("1"));
    set.held[fieldOf(5)] = false;
    const ParameterComparison comparison = compareWithController(set, Controller);
    EXPECT_TRUE(comparison.differences.empty());
    EXPECT_EQ(comparison.compared, static_cast<int>(holdingRegisters().size()) - 6);
    EXPECT_EQ(groupsNotWritten(),
              (QStringList{QStringLiteral("Calibration"), QStringLiteral("Address")}));
    EXPECT_EQ(firstMissingField(set), QStringLiteral("Internal Fan, MinTemp"));
}

TEST(ParameterCheck, ABadFileLeavesTheSetAsItWas) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("bad.json"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[1, 2, 3]");
    file.close();
    ParameterSet set;
    fillFromController(set);
    const std::optional<QString> problem = loadParameterSet(path, set);
    ASSERT_TRUE(problem.has_value());
    EXPECT_TRUE(problem->startsWith(QLatin1String("bad.json: "))) << problem->toStdString();
    EXPECT_EQ(set.texts.text(fieldOf(0)), QStringLiteral("200"));
    EXPECT_TRUE(loadParameterSet(folder.filePath(QStringLiteral("none.json")), set).has_value());
}

// What the file's header says of the firmware comes with the set; the fields held decide what a
// partial comparison can check.
TEST(ParameterCheck, TheFileNamesItsFirmwareAndWhatItHolds) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const struct {
        const char* firmware; // in the header; nullptr: none
        const char* expected;
    } cases[] = {{"DCAC-HEX V1.00", "DCAC-HEX V1.00"},
                 {" DCAC-HEX V1.00 ", "DCAC-HEX V1.00"},
                 {nullptr, ""}};
    for (const auto& [firmware, expected] : cases) {
        SCOPED_TRACE(firmware == nullptr ? "none" : firmware);
        FileHeader header;
        header.program = QStringLiteral("test");
        if (firmware != nullptr) {
            header.firmwareVersion = QString::fromLatin1(firmware);
        }
        const QString path = folder.filePath(QStringLiteral("set.json"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ParameterSet controller;
        fillFromController(controller);
        file.write(writeParameterFile(controller.texts, header));
        file.close();
        ParameterSet set;
        ASSERT_FALSE(loadParameterSet(path, set).has_value());
        EXPECT_EQ(set.firmware, QString::fromLatin1(expected));
    }

    ParameterSet set;
    fillFromController(set);
    EXPECT_TRUE(holdsAnyComparedField(set));
    std::fill(set.held.begin(), set.held.end(), false);
    set.held[fieldOf(33)] = true; // calibration and the address are never compared
    set.held[fieldOf(27)] = true;
    EXPECT_FALSE(holdsAnyComparedField(set));
    EXPECT_TRUE(firstMissingField(set).has_value());
    set.held[fieldOf(29)] = true; // Temp. Alarm, LowTemp
    EXPECT_TRUE(holdsAnyComparedField(set));
    const ParameterComparison comparison = compareWithController(set, Controller);
    EXPECT_EQ(comparison.compared, 1);
}

} // namespace

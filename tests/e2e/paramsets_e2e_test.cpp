// Parameter sets against the controller simulator: Set All writes every setting group (checked
// register by register in the simulator), is refused before anything is sent when a field is bad,
// stops with one summary when the simulator falls silent or the page is left half-way; a file
// saved right after a Read All loads back the same texts.
#include "GroupWrites.h"
#include "WindowOnSimulator.h"

#include "config/ParameterSets.h"
#include "link/CommEngine.h"
#include "support/ScriptedFileChooser.h"

#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

using namespace climate::config;
using namespace climate::link;

namespace {

const std::vector<GroupWrite>& settingGroups() {
    static const std::vector<GroupWrite> groups = setAllGroupWrites();
    return groups;
}

class ParameterSetsE2eTest : public WindowOnSimulator {
protected:
    static void SetUpTestSuite() { QStandardPaths::setTestModeEnabled(true); }

    void SetUp() override {
        WindowOnSimulator::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        ASSERT_EQ(child<QTabWidget>("Data")->currentIndex(), 0);
    }

    QString progress() { return child<QLabel>("SetAllProgress")->text(); }
    [[nodiscard]] bool busy() const { return form->engine().state().CommandBusy; }

    void typeAllGroups() {
        for (const GroupWrite& group : settingGroups()) {
            typeGroup(group);
        }
    }

    // The registers after the first `count` setting groups were written over `before`.
    static std::vector<std::uint16_t> afterGroups(std::vector<std::uint16_t> before,
                                                  std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            const GroupWrite& group = settingGroups()[i];
            std::ranges::copy(group.words, before.begin() + group.firstRegister);
        }
        return before;
    }

    // Drives the engine by hand: the engine timer stops, and each call runs one tick after
    // letting the port's bytes arrive.
    void takeOverTheEngineTimer() { form->findChild<QTimer*>(QStringLiteral("Timer2"))->stop(); }
    void tick() {
        QTest::qWait(10);
        form->Timer2Timer();
    }
    // Ticks until `done`; false after `maxTicks`.
    template <typename Done> bool tickUntil(Done done, int maxTicks = 600) {
        for (int i = 0; i < maxTicks && !done(); ++i) {
            tick();
        }
        return done();
    }
};

TEST_F(ParameterSetsE2eTest, SetAllWritesEverySettingGroupAndLeavesCalibrationAndAddress) {
    typeAllGroups();
    edit("Edit1")->setText(QStringLiteral("9.9")); // Calibration
    edit("Edit4")->setText(QStringLiteral("7"));   // Address
    const std::vector<std::uint16_t> before = simulatorHolding();
    const std::vector<std::uint16_t> expected = afterGroups(before, settingGroups().size());
    ASSERT_NE(before, expected);
    ASSERT_TRUE(sim.commandOk(QStringLiteral("stats reset")));

    button("Button13")->click();
    ASSERT_TRUE(busy()) << messages->describe();
    EXPECT_TRUE(progress().startsWith("Writing 1 of 8: Internal Fan")) << progress().toStdString();

    // Between groups the engine stays busy: other commands get the busy box and send nothing.
    QTest::qWait(300);
    ASSERT_TRUE(busy());
    button("Button12")->click();
    button("Button11")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !busy(); }, 20000));

    ASSERT_EQ(messages->lines().size(), 3u) << messages->describe();
    EXPECT_EQ(messages->lines()[0], "Systerm Busy,Please Wait / Set Intfan1!");
    EXPECT_EQ(messages->lines()[1], "Systerm Busy,Please Wait / Set Alarm TEMP!");
    const UserMessage& summary = messages->shown().back().message;
    EXPECT_EQ(summary.caption, "Set All");
    EXPECT_EQ(summary.text,
              "All 8 groups were written: Internal Fan, External Fan, Heater, Temp. Alarm, "
              "ExtInput, VoltageAlarm, Compressor, Heat Exchanger.\n"
              "Calibration and Address are not part of Set All: set them with their own buttons.");
    EXPECT_EQ(simulatorHolding(), expected);
    const QString stats = sim.command(QStringLiteral("stats"));
    EXPECT_TRUE(stats.contains(QStringLiteral("fc16=8 "))) << stats.toStdString();
    EXPECT_TRUE(stats.contains(QStringLiteral("fc3=0 "))) << "the busy Read All sent nothing";
    EXPECT_EQ(progress(), "Set All: 8 of 8 written");
}

// What Read All shows goes back as it came: a heater hysteresis of 2.5 among it.
TEST_F(ParameterSetsE2eTest, ReadAllThenSetAllLeavesTheControllerAsItWas) {
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set hr 23 25")));
    ASSERT_TRUE(clickAndWait("Button12"));
    ASSERT_EQ(edit("Edit53")->text(), "2.5");
    const std::vector<std::uint16_t> before = simulatorHolding();
    ASSERT_TRUE(sim.commandOk(QStringLiteral("stats reset")));

    button("Button13")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !busy(); }, 20000));
    ASSERT_FALSE(messages->shown().empty());
    EXPECT_TRUE(messages->shown().back().message.text.starts_with("All 8 groups were written"))
        << messages->describe();
    EXPECT_TRUE(sim.command(QStringLiteral("stats")).contains(QStringLiteral("fc16=8 ")));
    EXPECT_EQ(simulatorHolding(), before);
}

// A group the controller refuses is named as refused, not as silent, and Set All stops there.
TEST_F(ParameterSetsE2eTest, AGroupTheControllerRefusesIsNamedInTheSummary) {
    typeAllGroups();
    ASSERT_TRUE(sim.commandOk(QStringLiteral("exception 2 count=1")));

    button("Button13")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !busy(); }, 20000));
    ASSERT_FALSE(messages->shown().empty());
    const UserMessage& summary = messages->shown().back().message;
    EXPECT_EQ(summary.caption, "Set All");
    EXPECT_EQ(summary.text,
              "Written: none.\n"
              "Internal Fan failed: refused by the controller: exception 2 (illegal data "
              "address).\n"
              "Set All stopped there; not written: Internal Fan, External Fan, Heater, Temp. "
              "Alarm, ExtInput, VoltageAlarm, Compressor, Heat Exchanger.\n"
              "Calibration and Address are not part of Set All: set them with their own buttons.");
    EXPECT_EQ(progress(), "Set All stopped at 1 of 8: Internal Fan");
}

TEST_F(ParameterSetsE2eTest, ABadFieldRefusesSetAllBeforeAnythingIsSent) {
    ASSERT_TRUE(clickAndWait("Button12"));
    // A tenth beyond what the heater's 8 bits hold.
    edit("Edit53")->setText(QStringLiteral("25.6"));
    const std::vector<std::uint16_t> before = simulatorHolding();
    ASSERT_TRUE(sim.commandOk(QStringLiteral("stats reset")));

    button("Button13")->click();
    EXPECT_FALSE(busy());
    ASSERT_EQ(messages->shown().size(), 1u) << messages->describe();
    EXPECT_EQ(messages->shown()[0].message.text,
              "Nothing was sent. Heater, DeltTemp: data out of range.");
    EXPECT_EQ(messages->shown()[0].message.caption, "Set All");
    QTest::qWait(300);
    EXPECT_EQ(simulatorHolding(), before);
    EXPECT_TRUE(sim.command(QStringLiteral("stats")).contains(QStringLiteral("requests=0 ")));
}

TEST_F(ParameterSetsE2eTest, SetAllWithThePortClosedOrBusyShowsTheBoxesOfReadAll) {
    button("Button12")->click(); // Read All in flight
    button("Button13")->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !busy(); }, 5000));
    button("Button1")->click(); // close
    button("Button13")->click();
    EXPECT_EQ(messages->lines(),
              (std::vector<std::string>{"Systerm Busy,Please Wait / Set Intfan1!",
                                        "ComPort Not Open!! / Comm Error"}));
}

TEST_F(ParameterSetsE2eTest, SetAllStopsWhereTheSimulatorFallsSilent) {
    typeAllGroups();
    const std::vector<std::uint16_t> before = simulatorHolding();
    takeOverTheEngineTimer();

    button("Button13")->click();
    // Three groups answered; the fourth is posted but not yet sent.
    ASSERT_TRUE(tickUntil([&] { return progress().startsWith("Writing 4 of 8"); }))
        << progress().toStdString();
    ASSERT_TRUE(sim.commandOk(QStringLiteral("silent on")));
    ASSERT_TRUE(tickUntil([&] { return !busy(); }));

    ASSERT_EQ(messages->shown().size(), 1u) << messages->describe();
    EXPECT_EQ(messages->shown()[0].message.text,
              "Written: Internal Fan, External Fan, Heater.\n"
              "Temp. Alarm failed: no reply in time.\n"
              "Set All stopped there; not written: Temp. Alarm, ExtInput, VoltageAlarm, "
              "Compressor, Heat Exchanger.\n"
              "Calibration and Address are not part of Set All: set them with their own buttons.");
    EXPECT_EQ(messages->shown()[0].message.icon, UserMessage::Icon::Error);
    ASSERT_TRUE(sim.commandOk(QStringLiteral("silent off")));
    EXPECT_EQ(simulatorHolding(), afterGroups(before, 3));
    EXPECT_EQ(progress(), "Set All stopped at 4 of 8: Temp. Alarm");
}

TEST_F(ParameterSetsE2eTest, LeavingThePageAbandonsSetAllAndTheSummaryWaitsForTheReturn) {
    typeAllGroups();
    const std::vector<std::uint16_t> before = simulatorHolding();
    takeOverTheEngineTimer();
    auto* data = child<QTabWidget>("Data");

    button("Button13")->click();
    ASSERT_TRUE(tickUntil([&] { return progress().startsWith("Writing 3 of 8"); }));
    data->setCurrentIndex(1);
    for (int i = 0; i < 30; ++i) {
        tick();
    }
    EXPECT_TRUE(messages->shown().empty()) << "no summary while another page is shown";

    data->setCurrentIndex(0);
    tick(); // the first tick back on the page ends the command
    ASSERT_FALSE(busy());
    ASSERT_EQ(messages->shown().size(), 1u) << messages->describe();
    EXPECT_NE(messages->shown()[0].message.text.find(
                  "Heater failed: abandoned, the page was left while it was being written.\n"
                  "Set All stopped there"),
              std::string::npos)
        << messages->describe();
    EXPECT_EQ(simulatorHolding(), afterGroups(before, 2));
}

TEST_F(ParameterSetsE2eTest, AFileSavedRightAfterReadAllLoadsBackTheSameTexts) {
    // Values the groups' Set would refuse, which Read All shows all the same.
    for (const char* line : {"set hr 23 25", "set hr 8 300", "set hr 10 2", "set hr 38 7",
                             "set hr 39 900", "set hr 7 -55", "set hr 1 40000"}) {
        ASSERT_TRUE(sim.commandOk(QString::fromLatin1(line))) << line;
    }
    ASSERT_TRUE(clickAndWait("Button5"));
    ASSERT_TRUE(clickAndWait("Button12"));
    ASSERT_EQ(edit("Edit41")->text(), "300");
    std::vector<QString> shown;
    const auto fieldsOf = [this] {
        std::vector<QString> texts;
        for (QLineEdit* field : child<QWidget>("Configuration")->findChildren<QLineEdit*>()) {
            texts.push_back(field->objectName() + "=" + field->text());
        }
        for (QComboBox* box : child<QWidget>("Configuration")->findChildren<QComboBox*>()) {
            texts.push_back(box->objectName() + "=" + box->currentText());
        }
        return texts;
    };
    shown = fieldsOf();

    ScriptedFileChooser::Log log;
    const QString file = QDir::current().filePath(QStringLiteral("unit.json"));
    form->parameterSets().setFileChooser(std::make_unique<ScriptedFileChooser>(file, log));
    button("SaveParameters")->click();
    ASSERT_TRUE(messages->shown().empty()) << messages->describe();
    EXPECT_EQ(QFileInfo(log.proposedSaves.at(0)).fileName(),
              QStringLiteral("parameters-%1-DCAC-HEX_V1.00.json")
                  .arg(QDate::currentDate().toString(Qt::ISODate)));

    typeAllGroups();
    button("LoadParameters")->click();
    EXPECT_TRUE(messages->shown().empty()) << messages->describe();
    EXPECT_EQ(fieldsOf(), shown);
}

} // namespace

// The Configuration page's fields as views of the parameter model, on a real display (Xvfb: the
// xcb platform, or Windows' own platform under Wine) against the simulator: keys typed into a
// field reach the model while the field still has the focus, so a shortcut or a Set pressed
// from the keyboard sends and saves what the field shows; an item chosen from a drop-down list
// reaches it too; what the model gets (a Read All, a change of its own) shows in the fields.
#include "WindowOnDisplay.h"

#include "config/ParameterModel.h"
#include "config/ParameterSets.h"
#include "link/CommEngine.h"
#include "support/RealInput.h"
#include "support/ScriptedFileChooser.h"

#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace climate::config;

namespace {

class ParameterFieldsOnDisplay : public WindowOnDisplay {
protected:
    static void SetUpTestSuite() { QStandardPaths::setTestModeEnabled(true); }

    ParameterModel& model() { return form->parameterModel(); }

    // The model's field shown by `control` ("Edit24", "ComboBox1"), and its text.
    static std::size_t fieldOf(const char* control) {
        const HoldingRegister* row = findControl(control);
        EXPECT_NE(row, nullptr) << control;
        return static_cast<std::size_t>(row - holdingRegisters().data());
    }
    std::string modelText(const char* control) {
        return model().text(fieldOf(control)).toStdString();
    }

    bool waitUntilIdle() {
        return QTest::qWaitFor([this] { return !form->engine().state().CommandBusy; }, 5000);
    }

    QTemporaryDir folder;
};

// The value a saved parameter file holds for `group`.`field`.
std::string savedValue(const QString& path, const char* group, const char* field) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return "(no file)";
    }
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    for (const QJsonValue& entry : root[QStringLiteral("groups")].toArray()) {
        if (entry[QStringLiteral("record")].toString() != QLatin1String(group)) {
            continue;
        }
        for (const QJsonValue& value : entry[QStringLiteral("fields")].toArray()) {
            if (value[QStringLiteral("record")].toString() == QLatin1String(field)) {
                return value[QStringLiteral("value")].toString().toStdString();
            }
        }
    }
    return "(not in the file)";
}

TEST_F(ParameterFieldsOnDisplay, KeysTypedReachTheModelBeforeAShortcutOrAKeyboardSetRuns) {
    QLineEdit* high = edit("Edit24");
    ASSERT_EQ(RealInput::typeInto(high, QStringLiteral("30.5")), "");
    ASSERT_TRUE(high->hasFocus());
    EXPECT_EQ(modelText("Edit24"), "30.5") << "the model waits for the focus to leave";

    // Ctrl+S while the edit still has the focus saves what it shows.
    const QString path = folder.filePath(QStringLiteral("typed.json"));
    ScriptedFileChooser::Log log;
    form->parameterSets().setFileChooser(std::make_unique<ScriptedFileChooser>(path, log));
    ASSERT_EQ(RealInput::press(Qt::Key_S, Qt::ControlModifier), "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(path); }, 5000))
        << (messages != nullptr ? messages->describe() : std::string());
    EXPECT_TRUE(high->hasFocus());
    EXPECT_EQ(savedValue(path, "TempAlarm", "HighTemp"), "30.5");

    // The group's Set reached with Tab and pressed with Space sends both typed values.
    QLineEdit* low = edit("Edit25");
    ASSERT_EQ(RealInput::typeInto(low, QStringLiteral("-2")), "");
    EXPECT_EQ(modelText("Edit25"), "-2");
    ASSERT_EQ(RealInput::press(Qt::Key_Tab), "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return button("Button11")->hasFocus(); }, 2000));
    ASSERT_EQ(RealInput::press(Qt::Key_Space), "");
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return messages != nullptr && !messages->shown().empty(); }, 5000));
    ASSERT_TRUE(waitUntilIdle());
    EXPECT_EQ(messages->lines(), (std::vector<std::string>{"Set Successfully / Set Alarm TEMP"}));
    const std::vector<std::uint16_t> registers = simulatorHolding();
    ASSERT_EQ(registers.size(), 47u);
    EXPECT_EQ(registers[28], 305);
    EXPECT_EQ(registers[29], 0xFFEC);
}

TEST_F(ParameterFieldsOnDisplay, AnItemChosenReachesTheModelAndTheModelShowsInTheFields) {
    QComboBox* fan1 = combo("ComboBox1");
    ASSERT_EQ(RealInput::choose(fan1, 1), "");
    EXPECT_EQ(modelText("ComboBox1"), "Enable");
    ASSERT_EQ(RealInput::choose(fan1, 0), "");
    EXPECT_EQ(modelText("ComboBox1"), "Disable");

    model().setText(fieldOf("Edit24"), QStringLiteral("12.5"));
    model().setText(fieldOf("ComboBox1"), QString());
    EXPECT_EQ(edit("Edit24")->text().toStdString(), "12.5");
    EXPECT_EQ(fan1->currentIndex(), -1);

    // Read All fills the model; the fields show it.
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set hr 28 -55")));
    ASSERT_TRUE(sim.commandOk(QStringLiteral("set hr 9 1")));
    ASSERT_EQ(RealInput::click(button("Button12")), "");
    ASSERT_TRUE(QTest::qWaitFor([this] { return model().lastReadAll().has_value(); }, 5000));
    EXPECT_EQ(modelText("Edit24"), "-5.5");
    EXPECT_EQ(edit("Edit24")->text().toStdString(), "-5.5");
    EXPECT_EQ(modelText("ComboBox1"), "Enable");
    EXPECT_EQ(fan1->currentText().toStdString(), "Enable");
    ASSERT_TRUE(model().lastReadAll().has_value());
    EXPECT_EQ((*model().lastReadAll())[28], 0xFFC9);
}

} // namespace

// The marks a Load leaves on fields that differ from the controller's last Read All, and what
// clears them.
#include "PageRig.h"

#include "config/ParameterSets.h"
#include "support/ScriptedFileChooser.h"

#include <QFrame>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <map>

using namespace climate::config;

using climate::config::ParameterSets;

namespace {

// A controller whose every value its group's Set would send back unchanged, Heater DeltTemp 2.5
// (register 23, one decimal in an 8-bit register) among them.
std::array<std::uint16_t, 47> controllerRegisters() {
    return {100, 3000, 800,    253, 450, 200, 3, 0xFFC9, 2, 1, 0, // internal fans
            50,  2900, 0,      127, 701, 0,   0, 0,      4, 0, 1, // external fans
            0,   25,   125,    5,   1,                            // heater
            1,   253,  0xFE70,                                    // address, temp. alarm
            0,   0,    0,                                         // not shown
            3,   0,    25,     0,                                 // calibration
            1,   0,                                               // external input
            700, 240,                                             // voltage alarm
            355, 50,   3000,                                      // compressor
            300, 3,    25};                                       // heat exchanger
}

class DifferenceMarksTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { QStandardPaths::setTestModeEnabled(true); }

    void readAll(const std::array<std::uint16_t, 47>& registers) {
        page.page->Button12Click();
        page.exchange(readAllReply(registers));
    }

    // Writes a file holding the page's texts with `edits` and `combos` changed, then puts the
    // page back as it was.
    QString fileWith(const std::map<int, QString>& edits, const std::map<int, int>& combos) {
        std::map<int, QString> editsBefore;
        std::map<int, int> combosBefore;
        for (const auto& [number, text] : edits) {
            editsBefore[number] = page.edit(number)->text();
            page.edit(number)->setText(text);
        }
        for (const auto& [number, item] : combos) {
            combosBefore[number] = page.combo(number)->currentIndex();
            page.combo(number)->setCurrentIndex(item);
        }
        const QString path = folder.filePath(QStringLiteral("set.json"));
        sets.setFileChooser(std::make_unique<ScriptedFileChooser>(path, log));
        sets.saveClick();
        for (const auto& [number, text] : editsBefore) {
            page.edit(number)->setText(text);
        }
        for (const auto& [number, item] : combosBefore) {
            page.combo(number)->setCurrentIndex(item);
        }
        return path;
    }

    void load(const QString& path) {
        sets.setFileChooser(std::make_unique<ScriptedFileChooser>(path, log));
        sets.loadClick();
    }

    // The description of a marked field; "" when the field is not marked.
    QString markOf(QWidget* field) {
        auto* frame = field->parentWidget()->findChild<QFrame*>(field->objectName() + "Differs");
        const bool framed = frame != nullptr && !frame->isHidden();
        EXPECT_EQ(framed, !field->accessibleDescription().isEmpty())
            << field->objectName().toStdString();
        EXPECT_EQ(field->toolTip(), field->accessibleDescription())
            << field->objectName().toStdString();
        if (framed) {
            EXPECT_TRUE(frame->geometry().contains(field->geometry()));
        }
        return field->accessibleDescription();
    }

    std::vector<std::string> allMarks() {
        std::vector<std::string> marks;
        for (QLineEdit* edit : page.form.findChildren<QLineEdit*>()) {
            if (!markOf(edit).isEmpty()) {
                marks.push_back((edit->objectName() + ": " + markOf(edit)).toStdString());
            }
        }
        for (QComboBox* box : page.form.findChildren<QComboBox*>()) {
            if (!markOf(box).isEmpty()) {
                marks.push_back((box->objectName() + ": " + markOf(box)).toStdString());
            }
        }
        std::sort(marks.begin(), marks.end());
        return marks;
    }

    QTemporaryDir folder;
    ScriptedFileChooser::Log log;
    PageRig page;
    // The controller's registers reach the marks through the page's model.
    ParameterSets sets{page.rig.engine, page.view, page.page->model(), page.page->form(), nullptr};
};

TEST_F(DifferenceMarksTest, ALoadMarksWhatDiffersFromTheLastReadAll) {
    readAll(controllerRegisters());
    EXPECT_TRUE(allMarks().empty()) << "marks only after a Load";
    const QString file =
        fileWith({{14, "25.30"}, {27, "46"}, {52, "0.0"}, {31, "3000"}}, {{1, 0}, {2, -1}});
    load(file);
    ASSERT_TRUE(page.messages().empty());

    // Equal words are not marked (25.30 is 25.3, 0.0 is 0, Heater DeltTemp 2.5 sends 25); Intfan2
    // with nothing selected would be refused by its Set.
    EXPECT_EQ(allMarks(), (std::vector<std::string>{"ComboBox1: controller: Enable",
                                                    "ComboBox2: controller: Disable",
                                                    "Edit27: controller: 45"}));

    // Edited back to the controller's value: the mark goes; edited away again: it comes back.
    page.edit(27)->setText(QStringLiteral("45.0"));
    page.combo(1)->setCurrentIndex(1);
    EXPECT_TRUE(markOf(page.edit(27)).isEmpty());
    EXPECT_TRUE(markOf(page.combo(1)).isEmpty());
    page.edit(27)->setText(QStringLiteral("44"));
    EXPECT_EQ(markOf(page.edit(27)), "controller: 45");
    page.edit(53)->setText(QStringLiteral("2"));
    EXPECT_EQ(markOf(page.edit(53)), "controller: 2.5") << "2 sends 20, the controller holds 25";

    // A Read All of a controller that holds the page's values clears the marks.
    std::array<std::uint16_t, 47> registers = controllerRegisters();
    registers[4] = 440; // Edit27 44
    registers[23] = 20; // Edit53 2
    registers[10] = 2;  // Intfan2: no item selected, which its Set refuses
    readAll(registers);
    EXPECT_EQ(allMarks(), (std::vector<std::string>{"ComboBox2: controller: 2"}));
}

TEST_F(DifferenceMarksTest, WithoutABaselineNothingIsMarked) {
    readAll(controllerRegisters());
    const QString file = fileWith({{27, "46"}}, {});

    // Another slave: the baseline is dropped until the next Read All.
    page.edit(17)->setText(QStringLiteral("5"));
    page.page->Button8Click();
    sets.watchLink();
    EXPECT_FALSE(sets.marks().hasBaseline());
    load(file);
    EXPECT_TRUE(allMarks().empty());

    page.edit(17)->setText(QStringLiteral("1"));
    page.page->Button8Click();
    readAll(controllerRegisters());
    load(file);
    EXPECT_EQ(allMarks(), (std::vector<std::string>{"Edit27: controller: 45"}));

    // The port closed: the next controller may be another one.
    page.closePort();
    sets.watchLink();
    EXPECT_TRUE(allMarks().empty());
}

TEST_F(DifferenceMarksTest, AnAcceptedSetClearsTheMarksOfItsGroup) {
    readAll(controllerRegisters());
    load(fileWith({{27, "46"}, {24, "30"}, {53, "2"}}, {}));
    ASSERT_EQ(allMarks(),
              (std::vector<std::string>{"Edit24: controller: 25.3", "Edit27: controller: 45",
                                        "Edit53: controller: 2.5"}));

    // Temp. Alarm's Set: the controller now holds what the group shows.
    page.page->Button11Click();
    const std::vector<std::uint8_t> request = page.nextRequest();
    page.rig.port.feed(withCrc({request.begin(), request.begin() + 6}));
    ASSERT_TRUE(page.runUntilIdle());
    EXPECT_EQ(allMarks(),
              (std::vector<std::string>{"Edit27: controller: 45", "Edit53: controller: 2.5"}));

    // An unanswered Set changes nothing.
    page.page->SetClick();
    page.exchange({});
    EXPECT_EQ(allMarks().size(), 2u);

    // Set All writes the rest.
    page.page->Button13Click();
    for (int group = 0; group < 8; ++group) {
        const std::vector<std::uint8_t> write = page.nextRequest();
        ASSERT_FALSE(write.empty()) << group;
        page.rig.port.feed(withCrc({write.begin(), write.begin() + 6}));
    }
    ASSERT_TRUE(page.runUntilIdle());
    EXPECT_TRUE(allMarks().empty());
}

} // namespace

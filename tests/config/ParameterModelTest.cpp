// The parameter model: the one store of the page's fields. Alone (its texts, its change signals,
// Read All filling it, the controller's registers it keeps), as climate-cli uses it without a
// page, and behind the page, whose controls show it and whose Set reads it.
#include "PageRig.h"

#include "config/ParameterFile.h"
#include "config/ParameterForm.h"
#include "config/ParameterModel.h"
#include "config/ParameterTexts.h"
#include "config/SetAllPlan.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <array>
#include <set>

using namespace climate::config;

namespace {

FileHeader fixedHeader() {
    FileHeader header;
    header.program = QStringLiteral("test 1");
    header.saved = QStringLiteral("2026-12-11T01:02:03");
    header.deviceAddress = 7;
    header.firmwareVersion = QStringLiteral("DCAC-HEX V1.00");
    return header;
}

// A controller in its usual state, and one whose words the page shows but no Set accepts
// (beyond signed words, negative tenths, combo values that select nothing).
const std::array<std::array<std::uint16_t, 47>, 2> RegisterSets{{
    {200, 2500, 1000, 50, 350, 250, 200, 30,  2,   1,   1,  200,  3000, 1200,  50,   400,
     300, 250,  30,   2,  1,   1,   50,  50,  150, 20,  1,  1,    550,  65486, 1100, 0,
     0,   0,    0,    0,  0,   0,   0,   580, 420, 300, 50, 4500, 250,  50,    50},
    {0xFFFF, 40000, 800, 253, 450,    200,    3,   0xFFC9, 300, 2,      7,      50,
     0,      0,     127, 701, 0xFFFD, 253,    470, 999,    0,   0xFFFF, 0xFFC9, 25,
     125,    5,     7,   0,   253,    0xFE70, 0,   0,      0,   3,      0xFFF1, 25,
     0xFFFF, 1,     3,   900, 100,    355,    50,  0x8000, 300, 3,      25},
}};

std::size_t fieldOf(Control control) {
    const int row = ParameterModel::rowOf(control);
    EXPECT_GE(row, 0) << controlName(control);
    return static_cast<std::size_t>(row);
}

// What the page's controls show, field by field, read off the widgets.
std::vector<QString> shownTexts(const PageRig& page) {
    std::vector<QString> texts;
    for (std::size_t i = 0; i < holdingRegisters().size(); ++i) {
        QWidget* widget = page.page->form().widget(i);
        if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            texts.push_back(edit->text());
        } else {
            auto* box = qobject_cast<QComboBox*>(widget);
            texts.push_back(box->currentIndex() < 0 ? QString() : box->currentText());
        }
    }
    return texts;
}

std::vector<QString> modelTexts(const ParameterModel& model) {
    std::vector<QString> texts;
    for (std::size_t i = 0; i < model.fields().size(); ++i) {
        texts.push_back(model.text(i));
    }
    return texts;
}

// The rows a dataChanged signal covered.
std::set<int> rowsOf(const QSignalSpy& spy) {
    std::set<int> rows;
    for (const QList<QVariant>& signal : spy) {
        const auto first = signal.at(0).value<QModelIndex>().row();
        const auto last = signal.at(1).value<QModelIndex>().row();
        for (int row = first; row <= last; ++row) {
            rows.insert(row);
        }
    }
    return rows;
}

// A text given to a field, and what the field then holds: an edit keeps any text as typed (a Set
// judges it later), a combo box only its own items.
TEST(ParameterModel, FieldsHoldTheirTextsAsGiven) {
    const struct {
        Control control;
        const char* given;
        const char* held;
        int item; // what a Set converts for a combo box
    } cases[] = {
        {edit(14), "25.30", "25.30", 0},
        {edit(14), " 7 ", " 7 ", 0},
        {edit(12), "abc", "abc", 0},
        {edit(4), "", "", 0},
        {comboBox(1), "Enable", "Enable", 1},
        {comboBox(1), "NC", "", -1},
        {comboBox(7), "NC", "NC", 1},
        {comboBox(7), "Enable", "", -1},
        {comboBox(5), "", "", -1},
    };
    for (const auto& [control, given, held, item] : cases) {
        SCOPED_TRACE(controlName(control) + " given \"" + given + "\"");
        ParameterModel model;
        const QModelIndex index = model.index(static_cast<int>(fieldOf(control)));
        EXPECT_TRUE(model.setData(index, QString::fromUtf8(given), Qt::EditRole));
        EXPECT_EQ(model.data(index, Qt::DisplayRole).toString(), QString::fromUtf8(held));
        EXPECT_EQ(model.data(index, Qt::EditRole).toString(), QString::fromUtf8(held));
        EXPECT_EQ(model.text(fieldOf(control)), QString::fromUtf8(held));
        if (control.kind == Control::Kind::Edit) {
            EXPECT_EQ(model.editText(control.number), std::string(held));
        } else {
            EXPECT_EQ(model.selectedItem(control.number), item);
        }
    }
}

TEST(ParameterModel, TheRowsBesideTheParametersAreNoFieldsOfAFile) {
    ParameterModel model;
    EXPECT_EQ(model.rowCount(), static_cast<int>(holdingRegisters().size()) + 2);
    EXPECT_EQ(model.fields().size(), holdingRegisters().size());
    EXPECT_EQ(ParameterModel::rowOf(edit(17)), -1) << "Comm Address is not a parameter";
    model.setCommAddress(QStringLiteral("12"));
    model.setFirmwareVersion(QStringLiteral("DCAC-HEX V1.00"));
    EXPECT_EQ(model.data(model.index(ParameterModel::commAddressRow()), Qt::DisplayRole), "12");
    EXPECT_EQ(model.data(model.index(ParameterModel::firmwareRow()), Qt::DisplayRole),
              "DCAC-HEX V1.00");
    const QByteArray file = writeParameterFile(model, fixedHeader());
    EXPECT_FALSE(file.contains("\"12\"")) << file.toStdString();
    // Neither a role it does not keep nor a row it lacks is written.
    EXPECT_FALSE(model.setData(model.index(0), QStringLiteral("5"), Qt::ToolTipRole));
    EXPECT_FALSE(model.setData(model.index(model.rowCount()), QStringLiteral("5"), Qt::EditRole));
    EXPECT_EQ(model.text(0), QString());
}

TEST(ParameterModel, TellsEveryChangeAndNothingElse) {
    ParameterModel model;
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    const std::size_t stepTemp = fieldOf(edit(14));

    model.setText(stepTemp, QStringLiteral("25.3"));
    EXPECT_EQ(rowsOf(changed), std::set<int>{static_cast<int>(stepTemp)});
    changed.clear();
    model.setText(stepTemp, QStringLiteral("25.3"));
    model.setText(fieldOf(comboBox(1)), QStringLiteral("NO")); // not an item: stays ""
    EXPECT_EQ(changed.count(), 0) << "a text it already holds is no change";

    model.setCommAddress(QStringLiteral("5"));
    EXPECT_EQ(rowsOf(changed), std::set<int>{ParameterModel::commAddressRow()});
    changed.clear();

    // A Read All tells once, over the fields it changed.
    model.showRegisters(RegisterSets[0]);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(rowsOf(changed).size(), holdingRegisters().size());
    changed.clear();
    model.showRegisters(RegisterSets[0]);
    EXPECT_EQ(changed.count(), 0);
}

// Read All: posted, it empties the 39 fields it fills again; accepted, every field shows the
// registers in its Read All form and the registers are what the controller holds.
TEST(ParameterModel, ReadAllFillsTheFieldsAndKeepsTheRegisters) {
    ParameterModel model;
    for (std::size_t i = 0; i < model.fields().size(); ++i) {
        const QStringList items = model.items(i);
        model.setText(i, items.isEmpty() ? QStringLiteral("9") : items.back());
    }
    model.setCommAddress(QStringLiteral("1"));
    model.clearForReadAll();
    std::vector<std::string> kept;
    int emptied = 0;
    for (std::size_t i = 0; i < model.fields().size(); ++i) {
        if (model.text(i).isEmpty()) {
            ++emptied;
        } else {
            kept.push_back(controlName(ParameterModel::row(i).control));
        }
    }
    EXPECT_EQ(emptied, 39);
    EXPECT_EQ(kept,
              (std::vector<std::string>{"Edit4", "ComboBox6", "ComboBox7", "Edit30", "Edit31"}));
    EXPECT_EQ(model.commAddress(), "1");

    QSignalSpy registersChanged(&model, &ParameterModel::lastReadAllChanged);
    std::array<std::uint16_t, 47> registers = RegisterSets[0];
    registers[3] = 253;
    registers[7] = 0xFFC9;
    registers[9] = 1;
    registers[10] = 2;
    registers[27] = 0xFFFF;
    registers[0] = 0xFFFF;
    model.readAllReceived(registers, 7);
    const struct {
        Control control;
        const char* text;
    } shown[] = {{edit(14), "25.3"}, {edit(7), "-5.5"}, {comboBox(1), "Enable"},
                 {comboBox(2), ""},  {edit(4), "-1"},   {edit(12), "65535"}};
    for (const auto& [control, text] : shown) {
        EXPECT_EQ(model.text(fieldOf(control)), QString::fromUtf8(text)) << controlName(control);
    }
    ASSERT_TRUE(model.lastReadAll().has_value());
    EXPECT_EQ(*model.lastReadAll(), registers);
    EXPECT_EQ(model.lastReadAllAddress(), 7u);
    EXPECT_EQ(registersChanged.count(), 1);

    // An accepted write changes what the controller holds; one beyond the registers does not.
    const std::array<std::uint16_t, 2> alarm{300, 0xFFEC};
    model.registersWritten(28, alarm);
    EXPECT_EQ((*model.lastReadAll())[28], 300);
    EXPECT_EQ((*model.lastReadAll())[29], 0xFFEC);
    EXPECT_EQ(registersChanged.count(), 2);
    model.registersWritten(46, alarm);
    EXPECT_EQ(registersChanged.count(), 2);
    EXPECT_EQ((*model.lastReadAll())[46], registers[46]);
    EXPECT_EQ(model.text(fieldOf(edit(24))), "55") << "a write changes no text";

    model.forgetReadAll();
    EXPECT_FALSE(model.lastReadAll().has_value());
    EXPECT_EQ(registersChanged.count(), 3);
    model.registersWritten(28, alarm);
    model.forgetReadAll();
    EXPECT_FALSE(model.lastReadAll().has_value()) << "a write alone tells nothing of the rest";
    EXPECT_EQ(registersChanged.count(), 3);
}

// The model without a page saves the file the page saves after the same Read All, and the page's
// controls show what the model holds.
TEST(ParameterModel, ReadAllSavesTheFileThePageSaves) {
    for (const auto& registers : RegisterSets) {
        SCOPED_TRACE(registers[0]);
        PageRig page;
        page.page->Button12Click();
        page.exchange(readAllReply(registers));
        EXPECT_EQ(shownTexts(page), modelTexts(page.page->model()));

        ParameterModel texts;
        texts.showRegisters(registers);
        EXPECT_EQ(writeParameterFile(texts, fixedHeader()),
                  writeParameterFile(page.page->model(), fixedHeader()));
    }
}

TEST(ParameterModel, AFileFillsItAsItFillsThePage) {
    ParameterModel source;
    source.showRegisters(RegisterSets[0]);
    const QByteArray file = writeParameterFile(source, fixedHeader());

    ParameterModel loaded;
    const ParsedFile parsed = readParameterFile(file, loaded);
    ASSERT_TRUE(parsed.problem.isEmpty()) << parsed.problem.toStdString();
    ASSERT_EQ(parsed.values.size(), loaded.fields().size());
    for (const auto& [index, text] : parsed.values) {
        loaded.setText(index, text);
    }
    for (std::size_t i = 0; i < loaded.fields().size(); ++i) {
        EXPECT_EQ(loaded.text(i), source.text(i)) << i;
    }
}

TEST(ParameterModel, SetAllStagesFromItWhatItStagesFromThePage) {
    PageRig page;
    page.page->Button13Click();
    ASSERT_TRUE(page.state().CommandBusy) << "the page refused its fixture";
    const std::vector<QString> shown = shownTexts(page);

    ParameterModel texts;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        texts.setText(i, shown[i]);
    }
    ControllerParameters staged;
    const std::optional<SetAllRefusal> refusal = stageSetAll(texts, staged);
    ASSERT_FALSE(refusal) << refusalText(*refusal).toStdString();
    EXPECT_TRUE(staged == page.page->parameters());
}

TEST(ParameterModel, ComboBoxesTakeOnlyTheirItems) {
    ParameterModel texts;
    const HoldingRegister& type = *findControl(comboBox(7));
    const auto index = static_cast<std::size_t>(&type - holdingRegisters().data());
    texts.setText(index, QStringLiteral("NC"));
    EXPECT_EQ(texts.selectedItem(7), 1);
    texts.setText(index, QStringLiteral("Enable")); // another box's item selects nothing here
    EXPECT_EQ(texts.text(index), QString());
    EXPECT_EQ(texts.selectedItem(7), -1);
    EXPECT_EQ(setRuleWord(type, QString()), std::nullopt) << "Set refuses a box with no item";
    EXPECT_EQ(readAllText(type, 5), QStringLiteral("5")) << "a word that names no item";
}

// The page's controls are the model's views: a change of either shows in the other at once.
TEST(ParameterModel, ThePageShowsTheModelAndTellsItEveryChange) {
    PageRig page;
    ParameterModel& model = page.page->model();
    EXPECT_EQ(shownTexts(page), modelTexts(model)) << "the page's start texts are the model's";
    EXPECT_EQ(model.commAddress(), page.edit(17)->text());

    model.setText(fieldOf(edit(24)), QStringLiteral("31.5"));
    model.setText(fieldOf(comboBox(1)), QString());
    model.setText(fieldOf(comboBox(7)), QStringLiteral("NC"));
    model.setCommAddress(QStringLiteral("9"));
    model.setFirmwareVersion(QStringLiteral("V2"));
    EXPECT_EQ(page.edit(24)->text(), "31.5");
    EXPECT_EQ(page.combo(1)->currentIndex(), -1);
    EXPECT_EQ(page.combo(7)->currentIndex(), 1);
    EXPECT_EQ(page.edit(17)->text(), "9");
    EXPECT_EQ(page.view.SWV->text(), "V2");

    page.edit(25)->setText(QStringLiteral("-3"));
    page.combo(2)->setCurrentIndex(-1);
    page.combo(6)->setCurrentIndex(0);
    EXPECT_EQ(model.text(fieldOf(edit(25))), "-3");
    EXPECT_EQ(model.text(fieldOf(comboBox(2))), "");
    EXPECT_EQ(model.text(fieldOf(comboBox(6))), "Disable");
    EXPECT_EQ(shownTexts(page), modelTexts(model));
}

// A Set sends what the model holds: a field changed only in the model is what goes out, and a
// refusal comes from the model's text.
TEST(ParameterModel, ASetSendsWhatTheModelHolds) {
    PageRig page;
    ParameterModel& model = page.page->model();
    model.setText(fieldOf(edit(24)), QStringLiteral("25.3"));
    model.setText(fieldOf(edit(25)), QStringLiteral("-2"));
    {
        // An edit that shows another text without telling the model: the Set does not read it.
        const QSignalBlocker quiet(page.edit(24));
        page.edit(24)->setText(QStringLiteral("99"));
    }
    page.page->Button11Click();
    EXPECT_EQ(page.nextRequest(),
              withCrc({0x01, 0x10, 0x00, 0x1C, 0x00, 0x02, 0x04, 0x00, 0xFD, 0xFF, 0xEC}));
    ASSERT_TRUE(page.runUntilIdle());

    model.setText(fieldOf(edit(18)), QStringLiteral("70.2"));
    page.page->Button9Click();
    EXPECT_FALSE(page.state().CommandBusy);
    ASSERT_FALSE(page.messages().empty());
    EXPECT_EQ(page.messages().back().message.text, "Data out of range!!");
}

} // namespace

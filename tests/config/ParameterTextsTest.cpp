// The page's fields as plain texts, which programs without a window fill from a parameter file
// and from Read All: they must save the file the page saves and stage what the page stages.
#include "PageRig.h"

#include "config/PageParameterFields.h"
#include "config/ParameterFile.h"
#include "config/ParameterTexts.h"
#include "config/SetAllPlan.h"

#include <gtest/gtest.h>

#include <array>

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

TEST(ParameterTexts, ReadAllSavesTheFileThePageSaves) {
    for (const auto& registers : RegisterSets) {
        SCOPED_TRACE(registers[0]);
        PageRig page;
        page.page->Button12Click();
        page.exchange(readAllReply(registers));
        const PageParameterFields pageFields(page.view);

        ParameterTexts texts;
        texts.showRegisters(registers);
        EXPECT_EQ(writeParameterFile(texts, fixedHeader()),
                  writeParameterFile(pageFields, fixedHeader()));
    }
}

TEST(ParameterTexts, AFileFillsThemAsItFillsThePage) {
    ParameterTexts source;
    source.showRegisters(RegisterSets[0]);
    const QByteArray file = writeParameterFile(source, fixedHeader());

    ParameterTexts loaded;
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

TEST(ParameterTexts, SetAllStagesFromThemWhatItStagesFromThePage) {
    PageRig page;
    page.page->Button13Click();
    ASSERT_TRUE(page.state().CommandBusy) << "the page refused its fixture";
    const PageParameterFields pageFields(page.view);

    ParameterTexts texts;
    for (std::size_t i = 0; i < pageFields.fields().size(); ++i) {
        texts.setText(i, pageFields.text(i));
    }
    ControllerParameters staged;
    const std::optional<SetAllRefusal> refusal = stageSetAll(texts, staged);
    ASSERT_FALSE(refusal) << refusalText(*refusal).toStdString();
    EXPECT_TRUE(staged == page.page->parameters());
}

TEST(ParameterTexts, ComboBoxesTakeOnlyTheirItems) {
    ParameterTexts texts;
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

} // namespace

// Workbooks made through the automation calls, saved, and read back by an independent reader.
#include "XlsReadBack.h"
#include "TemporaryFolder.h"
#include "report/InProcessSpreadsheetApplication.h"
#include "report/WorkbookStore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>

using namespace climate::report;

namespace {

class XlsReadBackTest : public ::testing::Test {
protected:
    // Saves the active workbook under `name` and reads it back; a sound file draws no complaint.
    XlsReadBack saveAndRead(const std::string& name) {
        const auto path = folder.path() / name;
        app->ActiveWorkbook().SaveAs(path.string());
        XlsReadBack book = XlsReadBack::of(path);
        EXPECT_EQ(book.error, "");
        EXPECT_EQ(book.complaints, "");
        EXPECT_EQ(book.biffVersion, 80);
        return book;
    }

    TemporaryFolder folder;
    WorkbookStore store;
    std::unique_ptr<SpreadsheetApplication> app =
        std::make_unique<InProcessSpreadsheetApplication>(store);
};

} // namespace

TEST_F(XlsReadBackTest, CellValuesKeepTheirTypes) {
    app->Workbooks().Add(1);
    auto sheet = app->ActiveSheet();
    sheet.Cells(1, 1).Value(std::string("Test Data"));
    sheet.Cells(1, 2).Value(std::string("报表 温度"));
    sheet.Cells(1, 3).Value(std::string("Grüße"));
    sheet.Cells(2, 1).Value(std::int32_t{-7});
    sheet.Cells(2, 2).Value(std::uint32_t{4294967295u});
    sheet.Cells(2, 3).Value(-12.5);
    sheet.Cells(2, 4).Value(23.4);
    sheet.Cells(2, 5).Value(1.0 / 3);
    sheet.Cells(2, 6).Value(1e300);
    sheet.Cells(3, 1).Value(std::string("overwritten"));
    sheet.Cells(3, 1).Value(std::string("20240201090503"));

    const XlsReadBack book = saveAndRead("values.xls");
    ASSERT_EQ(book.sheets.size(), 1u);
    const auto& s = book.sheets[0];
    EXPECT_EQ(s.text(1, 1), "Test Data");
    EXPECT_EQ(s.text(1, 2), "报表 温度");
    EXPECT_EQ(s.text(1, 3), "Grüße");
    EXPECT_EQ(s.number(2, 1), -7);
    EXPECT_EQ(s.number(2, 2), 4294967295.0);
    EXPECT_EQ(s.number(2, 3), -12.5);
    EXPECT_EQ(s.number(2, 4), 23.4);
    EXPECT_EQ(s.number(2, 5), 1.0 / 3);
    EXPECT_EQ(s.number(2, 6), 1e300);
    EXPECT_EQ(s.text(3, 1), "20240201090503");
    EXPECT_EQ(s.at(4, 1), nullptr);
}

TEST_F(XlsReadBackTest, FormatsAsTheObjectModelsConstantsSetThem) {
    app->Workbooks().Add(1);
    auto sheet = app->ActiveSheet();
    struct Case {
        int horizontal; // object model constant
        int vertical;
        int readHorizontal; // as the file stores it
        int readVertical;
    };
    const Case cases[] = {
        {-4108, 2, 2, 1},     // centre; 2 is the older numbering's centre
        {-4131, -4160, 1, 0}, // left, top
        {-4152, -4107, 3, 2}, // right, bottom
        {1, -4108, 0, 1},     // general, centre
        {-4108, 1, 2, 0},     // 1 is the older numbering's top
        {-4108, 3, 2, 2},     // and 3 its bottom
    };
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        sheet.Cells(1, i + 1).Value(std::string("x"));
        sheet.Cells(1, i + 1).HorizontalAlignment(cases[i].horizontal);
        sheet.Cells(1, i + 1).VerticalAlignment(cases[i].vertical);
    }
    sheet.Cells(2, 1).Value(12.0);
    sheet.Cells(2, 1).NumberFormat("0");
    sheet.Cells(2, 2).Value(12.3456);
    sheet.Cells(2, 2).NumberFormat("0.000");
    auto thin = sheet.Range("A3:B4").Borders();
    thin.LineStyle(1);
    thin.Weight(2);
    thin.ColorIndex(-4105);
    auto medium = sheet.Range("C3").Borders();
    medium.Weight(-4138); // a weight alone draws a continuous line
    medium.ColorIndex(3);
    sheet.Range("D3").Borders().LineStyle(-4115);

    const XlsReadBack book = saveAndRead("formats.xls");
    const auto& s = book.sheets.at(0);
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        SCOPED_TRACE(i);
        ASSERT_NE(s.at(1, i + 1), nullptr);
        EXPECT_EQ(s.at(1, i + 1)->format.horizontal, cases[i].readHorizontal);
        EXPECT_EQ(s.at(1, i + 1)->format.vertical, cases[i].readVertical);
    }
    EXPECT_EQ(s.at(2, 1)->format.numberFormat, "0");
    EXPECT_EQ(s.at(2, 2)->format.numberFormat, "0.000");
    for (const auto& [row, column] : {std::pair{3, 1}, {3, 2}, {4, 1}, {4, 2}}) {
        const auto* cell = s.at(row, column);
        ASSERT_NE(cell, nullptr) << "a bordered empty cell is a blank";
        EXPECT_EQ(cell->type, "blank");
        EXPECT_EQ(cell->format.lines, (std::array<int, 4>{1, 1, 1, 1}));
        EXPECT_EQ(cell->format.colours, (std::array<int, 4>{64, 64, 64, 64}));
    }
    EXPECT_EQ(s.at(3, 3)->format.lines, (std::array<int, 4>{2, 2, 2, 2}));
    EXPECT_EQ(s.at(3, 3)->format.colours, (std::array<int, 4>{10, 10, 10, 10}));
    EXPECT_EQ(s.at(3, 4)->format.lines, (std::array<int, 4>{3, 3, 3, 3}));
    EXPECT_EQ(s.at(1, 1)->format.lines, (std::array<int, 4>{0, 0, 0, 0}));
}

TEST_F(XlsReadBackTest, ColumnFormatReachesTheCellsAlreadyThereAndThoseWrittenLater) {
    app->Workbooks().Add(1);
    auto sheet = app->ActiveSheet();
    sheet.Cells(3, 2).Value(std::string("Time"));
    auto column = sheet.Columns(2);
    column.ColumnWidth(15);
    column.HorizontalAlignment(-4108);
    sheet.Cells(3, 2).VerticalAlignment(-4108);
    column.NumberFormat("0");
    sheet.Cells(4, 2).Value(std::string("20240507153012"));
    sheet.Columns(1).ColumnWidth(6);
    sheet.Cells(4, 3).Value(5.0);

    const XlsReadBack::Sheet s = saveAndRead("columns.xls").sheets.at(0);
    EXPECT_EQ(s.widths, (std::map<int, int>{{0, 1718}, {1, 4022}}));
    const auto* header = s.at(3, 2);
    const auto* record = s.at(4, 2);
    ASSERT_TRUE(header && record);
    EXPECT_EQ(header->format.horizontal, 2);
    EXPECT_EQ(header->format.vertical, 1) << "set on the header cell only";
    EXPECT_EQ(header->format.numberFormat, "0");
    EXPECT_EQ(record->format.horizontal, 2);
    EXPECT_EQ(record->format.vertical, 2);
    EXPECT_EQ(record->format.numberFormat, "0");
    EXPECT_EQ(s.at(4, 3)->format.horizontal, 0) << "other columns keep the default";
}

TEST_F(XlsReadBackTest, LongAndManyTextsCrossRecordBoundaries) {
    app->Workbooks().Add(1);
    auto sheet = app->ActiveSheet();
    std::vector<std::string> texts;
    for (int i = 0; i < 3000; ++i) {
        texts.push_back("20240507" + std::to_string(100000 + i));
    }
    texts.push_back(std::string(20000, 'x'));
    std::string chinese;
    for (int i = 0; i < 9000; ++i) {
        chinese += i % 2 ? "温" : "度"; // two bytes a character in the file
    }
    texts.push_back(chinese);
    texts.push_back(chinese + "a");
    for (int i = 0; i < static_cast<int>(texts.size()); ++i) {
        sheet.Cells(i + 1, 1 + i % 3).Value(texts[i]);
    }

    const XlsReadBack::Sheet s = saveAndRead("texts.xls").sheets.at(0);
    for (int i = 0; i < static_cast<int>(texts.size()); ++i) {
        ASSERT_EQ(s.text(i + 1, 1 + i % 3), texts[i]) << "text " << i;
    }
}

TEST_F(XlsReadBackTest, SeveralSheetsUpToTheLastRow) {
    app->Workbooks().Add(1);
    app->ActiveSheet().Cells(1, 1).Value(std::string("first"));
    app->ActiveWorkbook().Worksheets().Add();
    app->ActiveSheet().Cells(65536, 256).Value(std::int32_t{65536});
    app->ActiveWorkbook().Worksheets().Add();
    app->ActiveSheet().Cells(2, 2).Value(std::string("third"));

    const XlsReadBack book = saveAndRead("sheets.xls");
    ASSERT_EQ(book.sheets.size(), 3u);
    EXPECT_EQ(book.sheets[0].name, "Sheet1");
    EXPECT_EQ(book.sheets[0].text(1, 1), "first");
    EXPECT_EQ(book.sheets[1].rows, 65536);
    EXPECT_EQ(book.sheets[1].number(65536, 256), 65536);
    EXPECT_EQ(book.sheets[2].text(2, 2), "third");
    EXPECT_FALSE(book.sheets[0].selected);
    EXPECT_TRUE(book.sheets[2].selected) << "the sheet added last is the active one";
}

TEST_F(XlsReadBackTest, ReopenedWorkbookGoesOnWhereItStood) {
    const std::string path = (folder.path() / "reopened.xls").string();
    app->Workbooks().Add(1);
    app->ActiveSheet().Cells(1, 1).Value(std::string("saved"));
    app->ActiveWorkbook().SaveAs(path);
    app->Quit();

    // A later start of the application opens the same workbook of this run.
    app = std::make_unique<InProcessSpreadsheetApplication>(store);
    app->Workbooks().Open(path);
    app->ActiveSheet().Cells(2, 1).Value(std::string("added"));
    app->ActiveWorkbook().Save();
    app->ActiveWorkbook().Close();
    ASSERT_TRUE(store.waitForSaves(path));

    const XlsReadBack book = XlsReadBack::of(path);
    ASSERT_EQ(book.sheets.size(), 1u) << book.error;
    const XlsReadBack::Sheet& s = book.sheets.front();
    EXPECT_EQ(s.text(1, 1), "saved");
    EXPECT_EQ(s.text(2, 1), "added");
}

TEST_F(XlsReadBackTest, ASaveThatCannotTakeItsPlaceIsReportedByTheNextWhichHasEveryRow) {
    const std::filesystem::path path = folder.path() / "late.xls";
    app->Workbooks().Add(1);
    app->ActiveSheet().Cells(1, 1).Value(std::string("first"));
    app->ActiveWorkbook().SaveAs(path.string());

    // Something takes the file's place: the new file is written, but cannot be renamed.
    std::filesystem::remove(path);
    std::filesystem::create_directories(path / "in the way");
    app->ActiveSheet().Cells(2, 1).Value(std::string("second"));
    EXPECT_NO_THROW(app->ActiveWorkbook().Save()) << "the disk has not answered yet";
    EXPECT_FALSE(store.waitForSaves(path.string()));
    std::filesystem::remove_all(path);
    EXPECT_TRUE(TemporaryFolder::entries(folder.path()).empty()) << "no temporary file is left";

    app->ActiveSheet().Cells(3, 1).Value(std::string("third"));
    EXPECT_THROW(app->ActiveWorkbook().Save(), AutomationError) << "reports the earlier save";
    ASSERT_TRUE(store.waitForSaves(path.string()));

    const XlsReadBack::Sheet s = XlsReadBack::of(path).sheets.at(0);
    EXPECT_EQ(s.text(1, 1), "first");
    EXPECT_EQ(s.text(2, 1), "second");
    EXPECT_EQ(s.text(3, 1), "third");
}

TEST_F(XlsReadBackTest, RefusedCallsThrowAutomationErrors) {
    app->Workbooks().Add(1);
    auto sheet = app->ActiveSheet();
    const auto stranger = folder.path() / "other.xls";
    std::ofstream(stranger) << "not a workbook of this run";
    const std::pair<const char*, std::function<void()>> refused[] = {
        {"row past the sheet", [&] { sheet.Cells(65537, 1).Value(1.0); }},
        {"column past the sheet", [&] { sheet.Cells(1, 257).Value(1.0); }},
        {"row 0", [&] { sheet.Range("A0").Value(1.0); }},
        {"reversed range", [&] { sheet.Range("K4:A4").Value(1.0); }},
        {"not a reference", [&] { sheet.Range("A4-K4").Value(1.0); }},
        {"horizontal 99", [&] { sheet.Cells(1, 1).HorizontalAlignment(99); }},
        {"vertical 6", [&] { sheet.Cells(1, 1).VerticalAlignment(6); }},
        {"line style 77", [&] { sheet.Cells(1, 1).Borders().LineStyle(77); }},
        {"weight 3", [&] { sheet.Cells(1, 1).Borders().Weight(3); }},
        {"colour 57", [&] { sheet.Cells(1, 1).Borders().ColorIndex(57); }},
        {"width 256", [&] { sheet.Columns(1).ColumnWidth(256); }},
        {"no number", [&] { sheet.Cells(1, 1).Value(std::nan("")); }},
        {"text too long", [&] { sheet.Cells(1, 1).Value(std::string(32768, 'x')); }},
        {"save without a name", [&] { app->ActiveWorkbook().Save(); }},
        {"open a missing file",
         [&] { app->Workbooks().Open((folder.path() / "no.xls").string()); }},
        {"open another file", [&] { app->Workbooks().Open(stranger.string()); }},
    };
    for (const auto& [what, call] : refused) {
        EXPECT_THROW(call(), AutomationError) << what;
    }

    app->Quit();
    EXPECT_THROW(app->Workbooks().Add(1), AutomationError) << "after Quit";
}

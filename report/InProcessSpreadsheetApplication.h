#pragma once

#include "SpreadsheetApplication.h"

#include <functional>
#include <memory>
#include <string>

namespace climate::report {

struct CellFormat;
class Workbook;
class Worksheet;
class WorkbookStore;

// The spreadsheet application that runs in this process: it keeps its workbooks in a
// WorkbookStore and writes them as Excel 97-2003 files. It is never visible and starts at once.
// Properties take the values of the spreadsheet object model's constants (-4108 centre, 1
// continuous, 2 thin, -4105 automatic ...).
class InProcessSpreadsheetApplication : public SpreadsheetApplication {
public:
    explicit InProcessSpreadsheetApplication(WorkbookStore& store);

    void Visible(bool visible) override;
    void Quit() override;

    void addWorkbook(int templateArgument) override;
    void openWorkbook(const std::string& path) override;
    void addWorksheet() override;
    void saveActiveWorkbookAs(const std::string& path) override;
    void saveActiveWorkbook() override;
    void closeActiveWorkbook() override;
    void setRangeProperty(const SheetRange& range, RangeProperty property,
                          const AutomationValue& value) override;

private:
    Workbook& activeBook();
    Worksheet& activeSheet();
    void setValue(const SheetRange& range, const AutomationValue& value);
    void setColumnWidth(const SheetRange& range, const AutomationValue& value);
    void changeFormat(const SheetRange& range, const std::function<void(CellFormat&)>& change);

    WorkbookStore& m_store;
    std::shared_ptr<Workbook> m_book; // the active workbook
    std::string m_bookPath;           // empty until it has been saved or opened
    bool m_quit = false;
};

} // namespace climate::report

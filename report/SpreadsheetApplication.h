#pragma once

#include "AutomationError.h"

#include <cstdint>
#include <string>
#include <variant>

namespace climate::report {

// What a cell's Value or a property is set to, with the automation type the caller chose.
using AutomationValue = std::variant<std::string, std::int32_t, std::uint32_t, double>;

// Cells from (firstRow, firstColumn) to (lastRow, lastColumn), 1-based and inclusive. A range
// over every row of the sheet is a whole column.
struct SheetRange {
    static constexpr int AllRows = 65536;

    int firstRow = 1;
    int firstColumn = 1;
    int lastRow = 1;
    int lastColumn = 1;

    [[nodiscard]] bool wholeColumns() const { return firstRow == 1 && lastRow == AllRows; }
    friend bool operator==(const SheetRange&, const SheetRange&) = default;
};

enum class RangeProperty {
    Value,
    ColumnWidth,
    HorizontalAlignment,
    VerticalAlignment,
    NumberFormat,
    BordersLineStyle,
    BordersWeight,
    BordersColorIndex,
};

// The property's name in the automation calls ("Value", "ColumnWidth", "LineStyle", ...).
[[nodiscard]] const char* propertyName(RangeProperty property);

namespace xl {
class Workbooks;
class Workbook;
class Worksheet;
} // namespace xl

// One started spreadsheet application, driven by automation calls. The small handles in
// namespace xl spell the calls as the application's object model names them
//     app.Workbooks().Add(1);  app.ActiveSheet().Cells(3, 1).Value("Number");
// and forward them to the few entry points below, which an implementation provides. Every call
// either succeeds or throws AutomationError.
class SpreadsheetApplication {
public:
    virtual ~SpreadsheetApplication() = default;

    // application "Visible" :=
    virtual void Visible(bool visible) = 0;
    // application "Quit": the application ends; its handles must not be used afterwards.
    virtual void Quit() = 0;

    [[nodiscard]] xl::Workbooks Workbooks();
    [[nodiscard]] xl::Workbook ActiveWorkbook();
    [[nodiscard]] xl::Worksheet ActiveSheet();

    // The entry points the handles forward to.
    virtual void addWorkbook(int templateArgument) = 0; // becomes the active workbook
    virtual void openWorkbook(const std::string& path) = 0;
    virtual void addWorksheet() = 0; // after the last sheet; becomes the active sheet
    virtual void saveActiveWorkbookAs(const std::string& path) = 0;
    virtual void saveActiveWorkbook() = 0;
    virtual void closeActiveWorkbook() = 0;
    // A property of a range of the active sheet.
    virtual void setRangeProperty(const SheetRange& range, RangeProperty property,
                                  const AutomationValue& value) = 0;
};

namespace xl {

class Borders {
public:
    Borders(SpreadsheetApplication& app, const SheetRange& range) : m_app(app), m_range(range) {}
    void LineStyle(int style) { set(RangeProperty::BordersLineStyle, style); }
    void Weight(int weight) { set(RangeProperty::BordersWeight, weight); }
    void ColorIndex(int index) { set(RangeProperty::BordersColorIndex, index); }

private:
    void set(RangeProperty property, int value) {
        m_app.setRangeProperty(m_range, property, std::int32_t{value});
    }
    SpreadsheetApplication& m_app;
    SheetRange m_range;
};

class Range {
public:
    Range(SpreadsheetApplication& app, const SheetRange& range) : m_app(app), m_range(range) {}
    void Value(const AutomationValue& value) {
        m_app.setRangeProperty(m_range, RangeProperty::Value, value);
    }
    void ColumnWidth(double width) {
        m_app.setRangeProperty(m_range, RangeProperty::ColumnWidth, width);
    }
    void HorizontalAlignment(int alignment) {
        m_app.setRangeProperty(m_range, RangeProperty::HorizontalAlignment,
                               std::int32_t{alignment});
    }
    void VerticalAlignment(int alignment) {
        m_app.setRangeProperty(m_range, RangeProperty::VerticalAlignment, std::int32_t{alignment});
    }
    void NumberFormat(const std::string& format) {
        m_app.setRangeProperty(m_range, RangeProperty::NumberFormat, format);
    }
    [[nodiscard]] xl::Borders Borders() { return {m_app, m_range}; }
    [[nodiscard]] const SheetRange& range() const { return m_range; }

private:
    SpreadsheetApplication& m_app;
    SheetRange m_range;
};

class Worksheet {
public:
    explicit Worksheet(SpreadsheetApplication& app) : m_app(app) {}
    [[nodiscard]] xl::Range Cells(int row, int column) {
        return {m_app, SheetRange{row, column, row, column}};
    }
    [[nodiscard]] xl::Range Columns(int column) {
        return {m_app, SheetRange{1, column, SheetRange::AllRows, column}};
    }
    // An A1-style reference: "A4:K4" or "B1". Throws AutomationError for anything else.
    [[nodiscard]] xl::Range Range(const std::string& reference);

private:
    SpreadsheetApplication& m_app;
};

class Worksheets {
public:
    explicit Worksheets(SpreadsheetApplication& app) : m_app(app) {}
    void Add() { m_app.addWorksheet(); }

private:
    SpreadsheetApplication& m_app;
};

class Workbook {
public:
    explicit Workbook(SpreadsheetApplication& app) : m_app(app) {}
    [[nodiscard]] xl::Worksheet ActiveSheet() { return xl::Worksheet(m_app); }
    [[nodiscard]] xl::Worksheets Worksheets() { return xl::Worksheets(m_app); }
    void SaveAs(const std::string& path) { m_app.saveActiveWorkbookAs(path); }
    void Save() { m_app.saveActiveWorkbook(); }
    void Close() { m_app.closeActiveWorkbook(); }

private:
    SpreadsheetApplication& m_app;
};

class Workbooks {
public:
    explicit Workbooks(SpreadsheetApplication& app) : m_app(app) {}
    void Add(int templateArgument) { m_app.addWorkbook(templateArgument); }
    void Open(const std::string& path) { m_app.openWorkbook(path); }

private:
    SpreadsheetApplication& m_app;
};

// Parses an A1-style reference ("A4:K4", "B1"); throws AutomationError for anything else.
[[nodiscard]] SheetRange parseReference(const std::string& reference);

} // namespace xl

inline xl::Workbooks SpreadsheetApplication::Workbooks() {
    return xl::Workbooks(*this);
}
inline xl::Workbook SpreadsheetApplication::ActiveWorkbook() {
    return xl::Workbook(*this);
}
inline xl::Worksheet SpreadsheetApplication::ActiveSheet() {
    return xl::Worksheet(*this);
}
inline xl::Range xl::Worksheet::Range(const std::string& reference) {
    return {m_app, parseReference(reference)};
}

} // namespace climate::report

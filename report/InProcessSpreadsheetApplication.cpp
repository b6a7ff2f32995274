#include "InProcessSpreadsheetApplication.h"

#include "CellFormat.h"
#include "SpreadsheetConstants.h"
#include "Workbook.h"
#include "WorkbookStore.h"

#include <cmath>
#include <filesystem>
#include <map>
#include <optional>

namespace climate::report {

namespace {

using Horizontal = CellFormat::Horizontal;
using Vertical = CellFormat::Vertical;
using Line = CellFormat::Line;

using namespace SpreadsheetConstants;

constexpr int MaxTextLength = 32767; // characters a cell holds

[[noreturn]] void refuse(RangeProperty property) {
    throw AutomationError(std::string("Unable to set the ") + propertyName(property) +
                          " property: the value is not allowed");
}

double numberOf(const AutomationValue& value, RangeProperty property) {
    if (const auto* integer = std::get_if<std::int32_t>(&value)) {
        return *integer;
    }
    if (const auto* unsignedInteger = std::get_if<std::uint32_t>(&value)) {
        return *unsignedInteger;
    }
    if (const auto* floating = std::get_if<double>(&value)) {
        return *floating;
    }
    refuse(property); // a text where a number belongs
}

int integerOf(const AutomationValue& value, RangeProperty property) {
    const double number = numberOf(value, property);
    if (number != std::trunc(number) || std::abs(number) > 1e6) {
        refuse(property);
    }
    return static_cast<int>(number);
}

std::optional<Horizontal> horizontalAlignment(int constant) {
    static const std::map<int, Horizontal> table{
        {xlHAlignGeneral, Horizontal::General},
        {xlLeft, Horizontal::Left},
        {xlCenter, Horizontal::Centre},
        {xlRight, Horizontal::Right},
        {xlHAlignFill, Horizontal::Fill},
        {xlJustify, Horizontal::Justify},
        {xlHAlignCenterAcrossSelection, Horizontal::CentreAcrossSelection},
        {xlDistributed, Horizontal::Distributed},
    };
    const auto found = table.find(constant);
    return found == table.end() ? std::nullopt : std::optional(found->second);
}

// Besides the named constants, vertical alignment takes the small numbers of the application's
// older macro language, which the object model still accepts: 1 top, 2 centre, 3 bottom,
// 4 justify, 5 distributed (the horizontal constants 1, 5 and 7 are that numbering too).
std::optional<Vertical> verticalAlignment(int constant) {
    static const std::map<int, Vertical> table{
        {xlTop, Vertical::Top},
        {xlCenter, Vertical::Centre},
        {xlBottom, Vertical::Bottom},
        {xlJustify, Vertical::Justify},
        {xlDistributed, Vertical::Distributed},
        {1, Vertical::Top},
        {2, Vertical::Centre},
        {3, Vertical::Bottom},
        {4, Vertical::Justify},
        {5, Vertical::Distributed},
    };
    const auto found = table.find(constant);
    return found == table.end() ? std::nullopt : std::optional(found->second);
}

// An edge is stored as one line code; line style and weight are set one at a time, so each
// setter keeps the other half of what the edge already has.
int lineStyleOf(Line line) {
    switch (line) {
    case Line::None:
        return xlLineStyleNone;
    case Line::Dashed:
    case Line::MediumDashed:
        return xlDash;
    case Line::Dotted:
        return xlDot;
    case Line::Double:
        return xlDouble;
    default:
        return xlContinuous;
    }
}

int weightOf(Line line) {
    switch (line) {
    case Line::Hair:
        return xlHairline;
    case Line::Medium:
    case Line::MediumDashed:
        return xlMedium;
    case Line::Thick:
    case Line::Double:
        return xlThick;
    default:
        return xlThin;
    }
}

std::optional<Line> lineFor(int style, int weight) {
    const bool heavy = weight == xlMedium || weight == xlThick;
    switch (style) {
    case xlLineStyleNone:
        return Line::None;
    case xlContinuous:
        return weight == xlHairline ? Line::Hair
               : weight == xlMedium ? Line::Medium
               : weight == xlThick  ? Line::Thick
                                    : Line::Thin;
    case xlDash:
        return heavy ? Line::MediumDashed : Line::Dashed;
    case xlDot:
        return Line::Dotted;
    case xlDouble:
        return Line::Double;
    default:
        return std::nullopt;
    }
}

bool isWeight(int weight) {
    return weight == xlHairline || weight == xlThin || weight == xlMedium || weight == xlThick;
}

std::optional<std::uint8_t> paletteColour(int colorIndex) {
    if (colorIndex == xlColorIndexAutomatic || colorIndex == xlColorIndexNone) {
        return CellFormat::AutomaticColour;
    }
    if (colorIndex >= 1 && colorIndex <= 56) {
        return static_cast<std::uint8_t>(colorIndex + 7); // the palette starts at index 8
    }
    return std::nullopt;
}

void forEachEdge(CellFormat& format, const std::function<void(CellFormat::Edge&)>& change) {
    change(format.left);
    change(format.right);
    change(format.top);
    change(format.bottom);
}

// Characters as the file counts them (UTF-16 code units) of a UTF-8 text.
std::size_t characterCount(const std::string& utf8) {
    std::size_t count = 0;
    for (const char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) {
            count += byte >= 0xF0 ? 2 : 1;
        }
    }
    return count;
}

} // namespace

InProcessSpreadsheetApplication::InProcessSpreadsheetApplication(WorkbookStore& store)
    : m_store(store) {}

void InProcessSpreadsheetApplication::Visible(bool) {
    if (m_quit) {
        throw AutomationError("The application has quit");
    }
}

void InProcessSpreadsheetApplication::Quit() {
    m_book.reset();
    m_bookPath.clear();
    m_quit = true;
}

void InProcessSpreadsheetApplication::addWorkbook(int) {
    if (m_quit) {
        throw AutomationError("The application has quit");
    }
    m_book = std::make_shared<Workbook>();
    m_book->addWorksheet();
    m_bookPath.clear();
}

void InProcessSpreadsheetApplication::openWorkbook(const std::string& path) {
    if (m_quit) {
        throw AutomationError("The application has quit");
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw AutomationError("'" + path + "' could not be found");
    }
    auto book = m_store.find(path);
    if (!book) {
        throw AutomationError("'" + path + "' is not a workbook this application has saved");
    }
    m_book = std::move(book);
    m_bookPath = path;
}

void InProcessSpreadsheetApplication::addWorksheet() {
    Workbook& book = activeBook();
    if (book.sheetCount() >= 4096) {
        throw AutomationError("The workbook cannot take another sheet");
    }
    book.addWorksheet();
}

void InProcessSpreadsheetApplication::saveActiveWorkbookAs(const std::string& path) {
    activeBook();
    m_store.saveAs(path, m_book);
    m_bookPath = path;
}

void InProcessSpreadsheetApplication::saveActiveWorkbook() {
    activeBook();
    if (m_bookPath.empty()) {
        throw AutomationError("The workbook has no file yet; save it under a name first");
    }
    m_store.save(m_bookPath);
}

void InProcessSpreadsheetApplication::closeActiveWorkbook() {
    activeBook();
    m_book.reset();
    m_bookPath.clear();
}

Workbook& InProcessSpreadsheetApplication::activeBook() {
    if (m_quit) {
        throw AutomationError("The application has quit");
    }
    if (!m_book) {
        throw AutomationError("There is no active workbook");
    }
    return *m_book;
}

Worksheet& InProcessSpreadsheetApplication::activeSheet() {
    Workbook& book = activeBook();
    return book.sheet(book.activeSheet());
}

void InProcessSpreadsheetApplication::setRangeProperty(const SheetRange& range,
                                                       RangeProperty property,
                                                       const AutomationValue& value) {
    if (range.firstRow < 1 || range.lastRow > Worksheet::MaxRows || range.firstColumn < 1 ||
        range.lastColumn > Worksheet::MaxColumns || range.firstRow > range.lastRow ||
        range.firstColumn > range.lastColumn) {
        throw AutomationError("The range lies outside the sheet");
    }

    switch (property) {
    case RangeProperty::Value:
        setValue(range, value);
        return;
    case RangeProperty::ColumnWidth:
        setColumnWidth(range, value);
        return;
    case RangeProperty::HorizontalAlignment: {
        const auto alignment = horizontalAlignment(integerOf(value, property));
        if (!alignment) {
            refuse(property);
        }
        changeFormat(range, [&](CellFormat& format) { format.horizontal = *alignment; });
        return;
    }
    case RangeProperty::VerticalAlignment: {
        const auto alignment = verticalAlignment(integerOf(value, property));
        if (!alignment) {
            refuse(property);
        }
        changeFormat(range, [&](CellFormat& format) { format.vertical = *alignment; });
        return;
    }
    case RangeProperty::NumberFormat: {
        const auto* text = std::get_if<std::string>(&value);
        if (!text || text->empty() || characterCount(*text) > 255) {
            refuse(property);
        }
        changeFormat(range, [&](CellFormat& format) { format.numberFormat = *text; });
        return;
    }
    case RangeProperty::BordersLineStyle: {
        const int style = integerOf(value, property);
        if (!lineFor(style, xlThin)) {
            refuse(property);
        }
        changeFormat(range, [&](CellFormat& format) {
            forEachEdge(format, [&](CellFormat::Edge& edge) {
                edge.line = *lineFor(style, weightOf(edge.line));
            });
        });
        return;
    }
    case RangeProperty::BordersWeight: {
        const int weight = integerOf(value, property);
        if (!isWeight(weight)) {
            refuse(property);
        }
        changeFormat(range, [&](CellFormat& format) {
            forEachEdge(format, [&](CellFormat::Edge& edge) {
                const int style = edge.line == Line::None ? xlContinuous : lineStyleOf(edge.line);
                edge.line = *lineFor(style, weight);
            });
        });
        return;
    }
    case RangeProperty::BordersColorIndex: {
        const auto colour = paletteColour(integerOf(value, property));
        if (!colour) {
            refuse(property);
        }
        changeFormat(range, [&](CellFormat& format) {
            forEachEdge(format, [&](CellFormat::Edge& edge) { edge.colour = *colour; });
        });
        return;
    }
    }
}

void InProcessSpreadsheetApplication::setValue(const SheetRange& range,
                                               const AutomationValue& value) {
    Workbook& book = activeBook();
    Worksheet& sheet = activeSheet();
    Worksheet::Cell written;
    if (const auto* text = std::get_if<std::string>(&value)) {
        if (characterCount(*text) > MaxTextLength) {
            refuse(RangeProperty::Value);
        }
        // An empty text clears the value and keeps the format, as in the spreadsheet.
        written.kind = text->empty() ? Worksheet::Cell::Kind::Blank : Worksheet::Cell::Kind::Text;
        if (!text->empty()) {
            written.text = book.internString(*text);
        }
    } else {
        written.kind = Worksheet::Cell::Kind::Number;
        written.number = numberOf(value, RangeProperty::Value);
        if (!std::isfinite(written.number)) {
            refuse(RangeProperty::Value);
        }
    }
    for (int r = range.firstRow - 1; r < range.lastRow; ++r) {
        for (int c = range.firstColumn - 1; c < range.lastColumn; ++c) {
            Worksheet::Cell& cell = sheet.cellAt(r, c);
            cell.kind = written.kind;
            cell.text = written.text;
            cell.number = written.number;
        }
    }
}

void InProcessSpreadsheetApplication::setColumnWidth(const SheetRange& range,
                                                     const AutomationValue& value) {
    const double width = numberOf(value, RangeProperty::ColumnWidth);
    if (!(width >= 0 && width <= 255)) {
        refuse(RangeProperty::ColumnWidth);
    }
    Worksheet& sheet = activeSheet();
    for (int c = range.firstColumn - 1; c < range.lastColumn; ++c) {
        sheet.column(c).width = width;
    }
}

// A whole column changes its own format (which new cells start with) and the cells it already
// holds; a range of cells changes each of them, formatting empty ones as blanks.
void InProcessSpreadsheetApplication::changeFormat(const SheetRange& range,
                                                   const std::function<void(CellFormat&)>& change) {
    Workbook& book = activeBook();
    Worksheet& sheet = activeSheet();
    std::map<std::uint16_t, std::uint16_t> changed; // old format -> new, within this call
    auto reformat = [&](std::uint16_t& formatIndex) {
        auto found = changed.find(formatIndex);
        if (found == changed.end()) {
            CellFormat format = book.format(formatIndex);
            change(format);
            const auto index = book.internFormat(format);
            if (!index) {
                throw AutomationError("Too many different cell formats");
            }
            found = changed.emplace(formatIndex, *index).first;
        }
        formatIndex = found->second;
    };

    if (range.wholeColumns()) {
        for (int c = range.firstColumn - 1; c < range.lastColumn; ++c) {
            reformat(sheet.column(c).format);
            for (int r = 0; r < sheet.rowCount(); ++r) {
                auto& cells = sheet.mutableRow(r);
                if (c < static_cast<int>(cells.size()) &&
                    cells[c].kind != Worksheet::Cell::Kind::Empty) {
                    reformat(cells[c].format);
                }
            }
        }
        return;
    }
    for (int r = range.firstRow - 1; r < range.lastRow; ++r) {
        for (int c = range.firstColumn - 1; c < range.lastColumn; ++c) {
            Worksheet::Cell& cell = sheet.cellAt(r, c);
            if (cell.kind == Worksheet::Cell::Kind::Empty) {
                cell.kind = Worksheet::Cell::Kind::Blank;
            }
            reformat(cell.format);
        }
    }
}

} // namespace climate::report

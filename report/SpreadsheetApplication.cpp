#include "SpreadsheetApplication.h"

#include <cctype>

namespace climate::report {

namespace {

// One cell reference such as "K4": column letters, then a row number.
bool parseCell(const std::string& text, std::size_t& pos, int& row, int& column) {
    column = 0;
    const std::size_t lettersStart = pos;
    while (pos < text.size() && std::isalpha(static_cast<unsigned char>(text[pos])) &&
           pos - lettersStart < 3) {
        column = column * 26 + (std::toupper(static_cast<unsigned char>(text[pos])) - 'A' + 1);
        ++pos;
    }
    row = 0;
    const std::size_t digitsStart = pos;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])) &&
           pos - digitsStart < 6) {
        row = row * 10 + (text[pos] - '0');
        ++pos;
    }
    return pos > lettersStart && pos > digitsStart && digitsStart > lettersStart && row > 0;
}

} // namespace

const char* propertyName(RangeProperty property) {
    switch (property) {
    case RangeProperty::Value:
        return "Value";
    case RangeProperty::ColumnWidth:
        return "ColumnWidth";
    case RangeProperty::HorizontalAlignment:
        return "HorizontalAlignment";
    case RangeProperty::VerticalAlignment:
        return "VerticalAlignment";
    case RangeProperty::NumberFormat:
        return "NumberFormat";
    case RangeProperty::BordersLineStyle:
        return "LineStyle";
    case RangeProperty::BordersWeight:
        return "Weight";
    case RangeProperty::BordersColorIndex:
        return "ColorIndex";
    }
    return "?";
}

SheetRange xl::parseReference(const std::string& reference) {
    SheetRange range;
    std::size_t pos = 0;
    bool valid = parseCell(reference, pos, range.firstRow, range.firstColumn);
    range.lastRow = range.firstRow;
    range.lastColumn = range.firstColumn;
    if (valid && pos < reference.size() && reference[pos] == ':') {
        ++pos;
        valid = parseCell(reference, pos, range.lastRow, range.lastColumn);
    }
    if (!valid || pos != reference.size() || range.lastRow < range.firstRow ||
        range.lastColumn < range.firstColumn) {
        throw AutomationError("not a cell reference: \"" + reference + "\"");
    }
    return range;
}

} // namespace climate::report

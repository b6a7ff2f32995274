#include "Biff8Writer.h"

#include "Biff8Records.h"
#include "TextCoding.h"
#include "Workbook.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <map>
#include <span>
#include <stdexcept>
#include <string_view>

namespace climate::report {

namespace {

using namespace biff8;

constexpr std::size_t MaxRecordData = 8224;
constexpr std::uint16_t FirstCellXf = 15; // XF 0 ... 14 are the built-in style XFs
constexpr std::uint16_t FirstCustomNumberFormat = 164;
constexpr double DefaultColumnWidth = 8.43; // what a column is wide when nobody set it

// Appends little-endian values and frames them into records.
class RecordStream {
public:
    void begin(std::uint16_t type) {
        m_recordStart = m_bytes.size();
        put16(type);
        put16(0);
    }
    void end() {
        const std::size_t size = m_bytes.size() - m_recordStart - 4;
        if (size > MaxRecordData) {
            throw std::logic_error("record longer than the format allows");
        }
        m_bytes[m_recordStart + 2] = static_cast<std::uint8_t>(size);
        m_bytes[m_recordStart + 3] = static_cast<std::uint8_t>(size >> 8);
    }
    void record(std::uint16_t type, std::initializer_list<std::uint16_t> words) {
        begin(type);
        for (const auto word : words) {
            put16(word);
        }
        end();
    }

    void put8(std::uint8_t value) { m_bytes.push_back(value); }
    void put16(std::uint16_t value) {
        put8(static_cast<std::uint8_t>(value));
        put8(static_cast<std::uint8_t>(value >> 8));
    }
    void put32(std::uint32_t value) {
        put16(static_cast<std::uint16_t>(value));
        put16(static_cast<std::uint16_t>(value >> 16));
    }
    void putDouble(double value) {
        const auto bits = std::bit_cast<std::uint64_t>(value);
        put32(static_cast<std::uint32_t>(bits));
        put32(static_cast<std::uint32_t>(bits >> 32));
    }
    void append(const std::vector<std::uint8_t>& bytes) {
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    }
    void patch16(std::size_t offset, std::uint16_t value) {
        m_bytes[offset] = static_cast<std::uint8_t>(value);
        m_bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    void patch32(std::size_t offset, std::uint32_t value) {
        for (int i = 0; i < 4; ++i) {
            m_bytes[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }

    [[nodiscard]] std::size_t size() const { return m_bytes.size(); }
    [[nodiscard]] std::size_t recordStart() const { return m_recordStart; }
    [[nodiscard]] std::size_t room() const {
        return MaxRecordData - (m_bytes.size() - m_recordStart - 4);
    }
    std::vector<std::uint8_t>& bytes() { return m_bytes; }
    [[nodiscard]] const std::vector<std::uint8_t>& bytes() const { return m_bytes; }
    // Room for at least `size` bytes, with headroom: a log that grows by a row at a time must
    // not move its whole stream at every save.
    void reserve(std::size_t size) {
        if (m_bytes.capacity() < size) {
            m_bytes.reserve(size + size / 2);
        }
    }
    void clear() {
        m_bytes.clear();
        m_recordStart = 0;
    }

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_recordStart = 0;
};

bool needsWideCharacters(const std::u16string& text) {
    return std::any_of(text.begin(), text.end(), [](char16_t c) { return c > 0xFF; });
}

void putCharacters(RecordStream& out, const std::u16string& text, std::size_t from,
                   std::size_t count, bool wide) {
    for (std::size_t i = from; i < from + count; ++i) {
        if (wide) {
            out.put16(text[i]);
        } else {
            out.put8(static_cast<std::uint8_t>(text[i]));
        }
    }
}

// A string with a one-byte (short) or two-byte length, then its option flags, then its
// characters: Latin-1 bytes when every character fits one, UTF-16 otherwise.
void putString(RecordStream& out, std::string_view utf8, bool shortLength) {
    const std::u16string text = toUtf16(utf8);
    const bool wide = needsWideCharacters(text);
    if (shortLength) {
        out.put8(static_cast<std::uint8_t>(text.size()));
    } else {
        out.put16(static_cast<std::uint16_t>(text.size()));
    }
    out.put8(wide ? 1 : 0);
    putCharacters(out, text, 0, text.size(), wide);
}

std::uint8_t edgeColour(const CellFormat::Edge& edge) {
    return edge.line == CellFormat::Line::None ? 0 : edge.colour;
}

void putStyleXf(RecordStream& out, std::uint8_t ignoredAttributes) {
    out.begin(RecXf);
    out.put16(0);      // font
    out.put16(0);      // number format
    out.put16(0xFFF5); // locked, style XF, no parent
    out.put8(0x20);    // general, bottom
    out.put8(0);
    out.put8(0);
    out.put8(ignoredAttributes);
    out.put32(0);
    out.put32(0);
    out.put16(0x20C0); // pattern colours: automatic foreground and background
    out.end();
}

void putCellXf(RecordStream& out, const CellFormat& format, std::uint16_t numberFormat,
               bool ownAttributes) {
    out.begin(RecXf);
    out.put16(0); // font
    out.put16(numberFormat);
    out.put16(0x0001); // locked, cell XF, parent style XF 0 ("Normal")
    out.put8(static_cast<std::uint8_t>(static_cast<int>(format.horizontal) |
                                       (static_cast<int>(format.vertical) << 4)));
    out.put8(0);                        // rotation
    out.put8(0);                        // indent, shrink, reading order
    out.put8(ownAttributes ? 0xFC : 0); // which attribute groups this XF sets itself
    out.put32(static_cast<std::uint32_t>(format.left.line) |
              static_cast<std::uint32_t>(format.right.line) << 4 |
              static_cast<std::uint32_t>(format.top.line) << 8 |
              static_cast<std::uint32_t>(format.bottom.line) << 12 |
              static_cast<std::uint32_t>(edgeColour(format.left)) << 16 |
              static_cast<std::uint32_t>(edgeColour(format.right)) << 23);
    out.put32(static_cast<std::uint32_t>(edgeColour(format.top)) |
              static_cast<std::uint32_t>(edgeColour(format.bottom)) << 7);
    out.put16(0x20C0);
    out.end();
}

void putBof(RecordStream& out, std::uint16_t substreamType) {
    out.begin(RecBof);
    out.put16(Biff8Version);
    out.put16(substreamType);
    out.put16(0x0DBB); // build
    out.put16(0x07CC); // year
    out.put32(0);      // file history
    out.put32(0x0006); // lowest version that can read the file: BIFF8
    out.end();
}

// Number format indexes of the workbook's formats, and the texts that need a FORMAT record.
struct NumberFormats {
    std::vector<std::uint16_t> indexOfFormat;                  // per workbook format
    std::vector<std::pair<std::uint16_t, std::string>> custom; // index, text
};

NumberFormats numberFormatsOf(const Workbook& book) {
    NumberFormats result;
    std::map<std::string, std::uint16_t> customIndex;
    for (int i = 0; i < book.formatCount(); ++i) {
        const std::string& text = book.format(static_cast<std::uint16_t>(i)).numberFormat;
        if (const auto builtIn = Biff8Writer::builtInNumberFormat(text)) {
            result.indexOfFormat.push_back(*builtIn);
            continue;
        }
        auto [found, added] = customIndex.emplace(
            text, static_cast<std::uint16_t>(FirstCustomNumberFormat + customIndex.size()));
        if (added) {
            result.custom.emplace_back(found->second, text);
        }
        result.indexOfFormat.push_back(found->second);
    }
    return result;
}

// The shared string table, encoded as far as the workbook had strings: SST and CONTINUE
// records, the last of them still open for the strings to come.
struct EncodedStrings {
    std::uint64_t book = 0;
    std::uint32_t count = 0;
    RecordStream records;
    std::vector<std::uint32_t> offsets;  // of each string, from the start of the SST record
    std::vector<std::uint16_t> inRecord; // of each string, inside its record (header included)
};

// A string that does not fit the rest of a record goes on in a CONTINUE record, which then
// starts with the string's option flags again.
void encodeNewStrings(EncodedStrings& encoded, const Workbook& book) {
    if (encoded.book != book.serial()) {
        encoded = EncodedStrings{};
        encoded.book = book.serial();
        encoded.records.begin(RecSst);
        encoded.records.put32(0); // the counts are filled in when the table is written
        encoded.records.put32(0);
    }
    RecordStream& out = encoded.records;
    for (std::uint32_t i = encoded.count; i < book.stringCount(); ++i) {
        const std::u16string text = toUtf16(book.string(i));
        const bool wide = needsWideCharacters(text);
        const std::size_t charSize = wide ? 2 : 1;
        // The header and at least the first character stay in one record.
        if (out.room() < 3 + (text.empty() ? 0 : charSize)) {
            out.end();
            out.begin(RecContinue);
        }
        encoded.offsets.push_back(static_cast<std::uint32_t>(out.size()));
        encoded.inRecord.push_back(static_cast<std::uint16_t>(out.size() - out.recordStart()));
        out.put16(static_cast<std::uint16_t>(text.size()));
        out.put8(wide ? 1 : 0);
        for (std::size_t done = 0;;) {
            const std::size_t count = std::min(out.room() / charSize, text.size() - done);
            putCharacters(out, text, done, count, wide);
            done += count;
            if (done == text.size()) {
                break;
            }
            out.end();
            out.begin(RecContinue);
            out.put8(wide ? 1 : 0);
        }
    }
    encoded.count = book.stringCount();
}

// Fills in the kept SST's counts and the length of its open last record, so that it can be
// written as it is.
void completeSharedStrings(EncodedStrings& encoded, std::uint32_t textCells) {
    RecordStream& records = encoded.records;
    records.patch32(4, textCells);
    records.patch32(8, encoded.count);
    const std::size_t last = records.recordStart();
    records.patch16(last + 2, static_cast<std::uint16_t>(records.size() - last - 4));
}

// EXTSST points at every dsst-th string of the SST (which starts at sstStart in the stream),
// so that a reader can find a string without parsing the whole table.
void putStringIndex(RecordStream& out, const EncodedStrings& encoded, std::size_t sstStart) {
    const std::uint32_t perBucket = std::max(8u, encoded.count / 128 + 1);
    out.begin(RecExtSst);
    out.put16(static_cast<std::uint16_t>(perBucket));
    for (std::uint32_t i = 0; i < encoded.count; i += perBucket) {
        out.put32(static_cast<std::uint32_t>(sstStart + encoded.offsets[i]));
        out.put16(encoded.inRecord[i]);
        out.put16(0);
    }
    out.end();
}

// The workbook globals up to the shared strings. Returns the offsets of the BOUNDSHEET position
// fields, patched once the sheets are placed.
std::vector<std::size_t> putGlobals(RecordStream& out, const Workbook& book,
                                    const NumberFormats& numberFormats) {
    putBof(out, GlobalsSubstream);
    out.record(RecInterfaceHdr, {1200});
    out.record(RecMms, {0});
    out.record(RecInterfaceEnd, {});
    out.begin(RecWriteAccess); // the user name: empty, padded with blanks as the record wants
    out.put16(0);
    out.put8(0);
    for (int i = 0; i < 109; ++i) {
        out.put8(' ');
    }
    out.end();
    out.record(RecCodePage, {1200}); // texts are UTF-16
    out.record(RecDsf, {0});
    out.begin(RecTabId);
    for (int i = 0; i < book.sheetCount(); ++i) {
        out.put16(static_cast<std::uint16_t>(i + 1));
    }
    out.end();
    out.record(RecFnGroupCount, {14});
    out.record(RecWindowProtect, {0});
    out.record(RecProtect, {0});
    out.record(RecPassword, {0});
    out.record(RecProt4Rev, {0});
    out.record(RecProt4RevPass, {0});
    out.record(RecBackup, {0});
    out.record(RecHideObj, {0});
    const auto active = static_cast<std::uint16_t>(std::max(book.activeSheet(), 0));
    out.record(RecWindow1, {0x0168, 0x001E, 0x3A5C, 0x23BE, 0x0038, active, 0, 1, 0x0258});
    out.record(RecDateMode, {0});
    out.record(RecPrecision, {1});
    out.record(RecRefreshAll, {0});
    out.record(RecBookBool, {0});
    for (int i = 0; i < 4; ++i) { // fonts 0 ... 3 (index 4 does not exist in the format)
        out.begin(RecFont);
        out.put16(200);    // 10 pt
        out.put16(0);      // attributes
        out.put16(0x7FFF); // automatic colour
        out.put16(400);    // normal weight
        out.put16(0);      // no super- or subscript
        out.put8(0);       // no underline
        out.put8(0);       // family
        out.put8(0);       // character set
        out.put8(0);
        putString(out, "Arial", true);
        out.end();
    }
    for (const auto& [index, text] : numberFormats.custom) {
        out.begin(RecFormat);
        out.put16(index);
        putString(out, text, false);
        out.end();
    }
    putStyleXf(out, 0x00); // 0: "Normal"
    for (int i = 1; i < FirstCellXf; ++i) {
        putStyleXf(out, 0xF4); // 1 ... 14: outline styles, only their font counts
    }
    for (int i = 0; i < book.formatCount(); ++i) {
        putCellXf(out, book.format(static_cast<std::uint16_t>(i)), numberFormats.indexOfFormat[i],
                  i != 0);
    }
    out.begin(RecStyle); // "Normal" is built-in style 0 on XF 0
    out.put16(0x8000);
    out.put8(0);
    out.put8(0xFF);
    out.end();
    out.record(RecUsesElfs, {1});

    std::vector<std::size_t> positionFields;
    for (int i = 0; i < book.sheetCount(); ++i) {
        out.begin(RecBoundSheet);
        positionFields.push_back(out.size());
        out.put32(0);
        out.put8(0); // visible
        out.put8(0); // worksheet
        putString(out, book.sheet(i).name(), true);
        out.end();
    }
    return positionFields;
}

void putColumns(RecordStream& out, const Worksheet& sheet) {
    auto isSet = [&](int c) { return sheet.column(c).width >= 0 || sheet.column(c).format != 0; };
    auto sameAs = [&](int a, int b) {
        return sheet.column(a).width == sheet.column(b).width &&
               sheet.column(a).format == sheet.column(b).format;
    };
    for (int first = 0; first < Worksheet::MaxColumns;) {
        int last = first;
        while (last + 1 < Worksheet::MaxColumns && sameAs(first, last + 1)) {
            ++last;
        }
        if (isSet(first)) {
            const auto& column = sheet.column(first);
            const double width = column.width >= 0 ? column.width : DefaultColumnWidth;
            out.begin(RecColInfo);
            out.put16(static_cast<std::uint16_t>(first));
            out.put16(static_cast<std::uint16_t>(last));
            out.put16(Biff8Writer::columnWidthUnits(width));
            out.put16(static_cast<std::uint16_t>(FirstCellXf + column.format));
            out.put16(width == 0 ? 0x0001 : 0x0000); // hidden when no width
            out.put16(0);
            out.end();
        }
        first = last + 1;
    }
}

void putCell(RecordStream& out, int row, int column, const Worksheet::Cell& cell) {
    using Kind = Worksheet::Cell::Kind;
    const auto xf = static_cast<std::uint16_t>(FirstCellXf + cell.format);
    std::optional<std::uint32_t> rk;
    switch (cell.kind) {
    case Kind::Empty:
        return;
    case Kind::Blank:
        out.record(RecBlank,
                   {static_cast<std::uint16_t>(row), static_cast<std::uint16_t>(column), xf});
        return;
    case Kind::Text:
        out.begin(RecLabelSst);
        out.put16(static_cast<std::uint16_t>(row));
        out.put16(static_cast<std::uint16_t>(column));
        out.put16(xf);
        out.put32(cell.text);
        out.end();
        return;
    case Kind::Number:
        rk = Biff8Writer::rkNumber(cell.number);
        out.begin(rk ? RecRk : RecNumber);
        out.put16(static_cast<std::uint16_t>(row));
        out.put16(static_cast<std::uint16_t>(column));
        out.put16(xf);
        if (rk) {
            out.put32(*rk);
        } else {
            out.putDouble(cell.number);
        }
        out.end();
        return;
    }
}

// The records of a block of 32 rows (their ROW records, then their cells), and what the
// sheet's DIMENSIONS and the string table's count need to know of them.
struct EncodedBlock {
    std::uint64_t version = 0;
    bool valid = false;
    std::vector<std::uint8_t> bytes;
    int firstRow = -1;
    int lastRow = -1;
    int firstColumn = Worksheet::MaxColumns;
    int lastColumn = -1;
    std::uint32_t textCells = 0;
};

struct EncodedSheet {
    std::vector<EncodedBlock> blocks;
};

void encodeBlock(EncodedBlock& block, const Worksheet& sheet, int index) {
    block = EncodedBlock{};
    block.version = sheet.blockVersion(index);
    block.valid = true;
    RecordStream out;
    const int first = index * Worksheet::RowsPerBlock;
    const int end = std::min(first + Worksheet::RowsPerBlock, sheet.rowCount());
    std::vector<std::pair<int, int>> spans; // used columns of each row, first and last
    for (int r = first; r < end; ++r) {
        const auto& cells = sheet.row(r);
        int firstUsed = -1;
        int lastUsed = -1;
        for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
            if (cells[c].kind == Worksheet::Cell::Kind::Empty) {
                continue;
            }
            if (firstUsed < 0) {
                firstUsed = c;
            }
            lastUsed = c;
            block.textCells += cells[c].kind == Worksheet::Cell::Kind::Text ? 1 : 0;
        }
        spans.emplace_back(firstUsed, lastUsed);
        if (firstUsed < 0) {
            continue;
        }
        if (block.firstRow < 0) {
            block.firstRow = r;
        }
        block.lastRow = r;
        block.firstColumn = std::min(block.firstColumn, firstUsed);
        block.lastColumn = std::max(block.lastColumn, lastUsed);
        out.begin(RecRow);
        out.put16(static_cast<std::uint16_t>(r));
        out.put16(static_cast<std::uint16_t>(firstUsed));
        out.put16(static_cast<std::uint16_t>(lastUsed + 1));
        out.put16(0x00FF); // default height
        out.put16(0);
        out.put16(0);
        out.put16(0x0100); // flags: the one bit the format requires to be set
        out.put16(FirstCellXf);
        out.end();
    }
    for (int r = first; r < end; ++r) {
        const auto& cells = sheet.row(r);
        for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
            putCell(out, r, c, cells[c]);
        }
    }
    block.bytes = std::move(out.bytes());
}

// Brings the encoded blocks up to date with the sheet; returns its cells that hold a text.
std::uint32_t encodeChangedBlocks(EncodedSheet& encoded, const Worksheet& sheet) {
    const int blocks = (sheet.rowCount() + Worksheet::RowsPerBlock - 1) / Worksheet::RowsPerBlock;
    encoded.blocks.resize(blocks);
    std::uint32_t textCells = 0;
    for (int b = 0; b < blocks; ++b) {
        EncodedBlock& block = encoded.blocks[b];
        if (!block.valid || block.version != sheet.blockVersion(b)) {
            encodeBlock(block, sheet, b);
        }
        textCells += block.textCells;
    }
    return textCells;
}

// A sheet's records before its rows.
void putSheetHead(RecordStream& out, const Worksheet& sheet, const EncodedSheet& encoded) {
    putBof(out, SheetSubstream);
    out.record(RecCalcMode, {1});
    out.record(RecCalcCount, {100});
    out.record(RecRefMode, {1});
    out.record(RecIteration, {0});
    out.begin(RecDelta);
    out.putDouble(0.001);
    out.end();
    out.record(RecSaveRecalc, {1});
    out.record(RecPrintHeaders, {0});
    out.record(RecPrintGridlines, {0});
    out.record(RecGridSet, {1});
    out.record(RecGuts, {0, 0, 0, 0});
    out.record(RecDefaultRowHeight, {0, 0x00FF});
    out.record(RecWsBool, {0x04C1});
    out.record(RecDefColWidth, {8});
    putColumns(out, sheet);

    int firstRow = -1;
    int lastRow = -1;
    int firstColumn = Worksheet::MaxColumns;
    int lastColumn = -1;
    for (const auto& block : encoded.blocks) {
        if (block.firstRow < 0) {
            continue;
        }
        if (firstRow < 0) {
            firstRow = block.firstRow;
        }
        lastRow = block.lastRow;
        firstColumn = std::min(firstColumn, block.firstColumn);
        lastColumn = std::max(lastColumn, block.lastColumn);
    }
    const bool empty = firstRow < 0;
    out.begin(RecDimensions);
    out.put32(empty ? 0 : static_cast<std::uint32_t>(firstRow));
    out.put32(empty ? 0 : static_cast<std::uint32_t>(lastRow + 1));
    out.put16(empty ? 0 : static_cast<std::uint16_t>(firstColumn));
    out.put16(empty ? 0 : static_cast<std::uint16_t>(lastColumn + 1));
    out.put16(0);
    out.end();
}

// A sheet's records after its rows.
void putSheetTail(RecordStream& out, bool active) {
    // Grid, headers, zeros, outline symbols shown; the active sheet is selected and paged.
    const std::uint16_t window = active ? 0x06B6 : 0x00B6;
    out.record(RecWindow2, {window, 0, 0, 64, 0, 0, 0, 0, 0});
    out.record(RecEof, {});
}

} // namespace

struct Biff8Writer::Encoded {
    EncodedStrings strings;
    std::map<std::uint64_t, EncodedSheet> sheets; // by sheet serial
    RecordStream globals;                         // up to the shared strings
    RecordStream globalsEnd;                      // after them
    std::vector<RecordStream> sheetHeads;
    std::vector<RecordStream> sheetTails;
    std::vector<std::span<const std::uint8_t>> pieces;
};

Biff8Writer::Biff8Writer() : m_encoded(std::make_unique<Encoded>()) {}

Biff8Writer::~Biff8Writer() = default;

const std::vector<std::span<const std::uint8_t>>&
Biff8Writer::workbookPieces(const Workbook& book) {
    Encoded& e = *m_encoded;
    // Sheets first: the string table in the globals counts the cells that use it.
    std::map<std::uint64_t, EncodedSheet> sheets;
    std::uint32_t textCells = 0;
    for (int i = 0; i < book.sheetCount(); ++i) {
        const Worksheet& sheet = book.sheet(i);
        auto kept = e.sheets.extract(sheet.serial());
        EncodedSheet encoded = kept ? std::move(kept.mapped()) : EncodedSheet{};
        textCells += encodeChangedBlocks(encoded, sheet);
        sheets.emplace(sheet.serial(), std::move(encoded));
    }
    e.sheets = std::move(sheets); // sheets no longer in the workbook are dropped
    encodeNewStrings(e.strings, book);
    completeSharedStrings(e.strings, textCells);

    e.globals.clear();
    const std::vector<std::size_t> positionFields =
        putGlobals(e.globals, book, numberFormatsOf(book));
    e.globalsEnd.clear();
    putStringIndex(e.globalsEnd, e.strings, e.globals.size());
    e.globalsEnd.record(RecEof, {});

    e.sheetHeads.resize(book.sheetCount());
    e.sheetTails.resize(book.sheetCount());
    std::size_t position = e.globals.size() + e.strings.records.size() + e.globalsEnd.size();
    for (int i = 0; i < book.sheetCount(); ++i) {
        const Worksheet& sheet = book.sheet(i);
        const EncodedSheet& encoded = e.sheets.at(sheet.serial());
        e.globals.patch32(positionFields[i], static_cast<std::uint32_t>(position));
        e.sheetHeads[i].clear();
        putSheetHead(e.sheetHeads[i], sheet, encoded);
        e.sheetTails[i].clear();
        putSheetTail(e.sheetTails[i], i == book.activeSheet());
        position += e.sheetHeads[i].size() + e.sheetTails[i].size();
        for (const auto& block : encoded.blocks) {
            position += block.bytes.size();
        }
    }

    e.pieces.clear();
    e.pieces.emplace_back(e.globals.bytes());
    e.pieces.emplace_back(e.strings.records.bytes());
    e.pieces.emplace_back(e.globalsEnd.bytes());
    for (int i = 0; i < book.sheetCount(); ++i) {
        e.pieces.emplace_back(e.sheetHeads[i].bytes());
        for (const auto& block : e.sheets.at(book.sheet(i).serial()).blocks) {
            e.pieces.emplace_back(block.bytes);
        }
        e.pieces.emplace_back(e.sheetTails[i].bytes());
    }
    return e.pieces;
}

std::vector<std::uint8_t> Biff8Writer::workbookStream(const Workbook& book) {
    std::vector<std::uint8_t> stream;
    for (const auto piece : workbookPieces(book)) {
        stream.insert(stream.end(), piece.begin(), piece.end());
    }
    return stream;
}

std::uint16_t Biff8Writer::columnWidthUnits(double characters) {
    if (characters <= 0) {
        return 0;
    }
    // A digit of the default font (Arial 10) is 7 pixels wide and a cell adds 5 pixels of
    // padding; the file counts the whole width in 1/256 digits.
    const double pixels = std::round(characters * 7) + 5;
    return static_cast<std::uint16_t>(std::min(65535.0, std::trunc(pixels * 256 / 7)));
}

std::optional<std::uint32_t> Biff8Writer::rkNumber(double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    constexpr double Smallest = -(1 << 29);
    constexpr double Largest = (1 << 29) - 1;
    if (value == std::trunc(value) && value >= Smallest && value <= Largest) {
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(value)) << 2 | 0x2;
    }
    const double hundredfold = std::nearbyint(value * 100);
    if (hundredfold >= Smallest && hundredfold <= Largest && hundredfold / 100 == value) {
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(hundredfold)) << 2 | 0x3;
    }
    const auto bits = std::bit_cast<std::uint64_t>(value);
    if ((bits & 0x3'FFFF'FFFFull) == 0) { // only the 30 high bits are used
        return static_cast<std::uint32_t>(bits >> 32);
    }
    return std::nullopt;
}

std::optional<std::uint16_t> Biff8Writer::builtInNumberFormat(const std::string& text) {
    static const std::map<std::string, std::uint16_t, std::less<>> builtIn{
        {"General", 0}, {"0", 1},      {"0.00", 2},      {"#,##0", 3}, {"#,##0.00", 4},
        {"0%", 9},      {"0.00%", 10}, {"0.00E+00", 11}, {"@", 49},
    };
    if (const auto found = builtIn.find(text); found != builtIn.end()) {
        return found->second;
    }
    return std::nullopt;
}

} // namespace climate::report

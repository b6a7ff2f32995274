#include "WorkbookReader.h"

#include "Biff8Records.h"
#include "CompoundFile.h"
#include "TextCoding.h"
#include "Worksheet.h"

#include <bit>
#include <fstream>
#include <system_error>

namespace climate::report {

namespace {

using namespace biff8;

// Far beyond any log of ours (a full sheet is a few MB), and small enough to hold in memory.
constexpr std::uintmax_t MaxFileSize = std::uintmax_t{1} << 30;

[[noreturn]] void fail(const std::string& what) {
    throw WorkbookReadError(what);
}

std::uint16_t le16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::uint32_t le32(const std::uint8_t* p) {
    return le16(p) | static_cast<std::uint32_t>(le16(p + 2)) << 16;
}

double rkValue(std::uint32_t rk) {
    const double value = (rk & 0x2) != 0
                             ? static_cast<double>(static_cast<std::int32_t>(rk) >> 2)
                             : std::bit_cast<double>(static_cast<std::uint64_t>(rk & ~3u) << 32);
    return (rk & 0x1) != 0 ? value / 100 : value;
}

// The payloads of an SST record and the CONTINUE records after it, read as one sequence in which
// a string's characters may go on in the next payload behind a fresh option byte.
class StringTableInput {
public:
    explicit StringTableInput(std::vector<std::span<const std::uint8_t>> parts)
        : m_parts(std::move(parts)) {}

    std::uint8_t byte() {
        while (m_part < m_parts.size() && m_at == m_parts[m_part].size()) {
            ++m_part;
            m_at = 0;
        }
        if (m_part == m_parts.size()) {
            fail("The shared string table ends inside a string: the file is damaged.");
        }
        return m_parts[m_part][m_at++];
    }
    std::uint16_t word() {
        const std::uint8_t low = byte();
        return static_cast<std::uint16_t>(low | byte() << 8);
    }
    void skip(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            (void)byte();
        }
    }
    // The string's characters: `count` of them, restarting with an option byte at each new part.
    std::string characters(std::size_t count, bool wide) {
        std::string out;
        out.reserve(count);
        char16_t high = 0; // a high surrogate waiting for its pair
        for (std::size_t i = 0; i < count; ++i) {
            if (m_part < m_parts.size() && m_at == m_parts[m_part].size()) {
                ++m_part;
                m_at = 0;
                wide = (byte() & 0x01) != 0;
            }
            const char16_t unit = wide ? static_cast<char16_t>(word()) : byte();
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                if (high != 0) {
                    appendUtf8(out, 0xFFFD);
                }
                high = unit;
                continue;
            }
            if (unit >= 0xDC00 && unit <= 0xDFFF && high != 0) {
                appendUtf8(out, char32_t{0x10000} + ((char32_t{high} - 0xD800) << 10) +
                                    (char32_t{unit} - 0xDC00));
                high = 0;
                continue;
            }
            if (high != 0) {
                appendUtf8(out, 0xFFFD);
                high = 0;
            }
            appendUtf8(out, (unit >= 0xDC00 && unit <= 0xDFFF) ? char16_t{0xFFFD} : unit);
        }
        if (high != 0) {
            appendUtf8(out, 0xFFFD);
        }
        return out;
    }

private:
    std::vector<std::span<const std::uint8_t>> m_parts;
    std::size_t m_part = 0;
    std::size_t m_at = 0;
};

std::vector<std::string> readStrings(std::vector<std::span<const std::uint8_t>> parts) {
    if (parts.empty() || parts.front().size() < 8) {
        fail("The shared string table is too short: the file is damaged.");
    }
    const std::uint32_t unique = le32(parts.front().data() + 4);
    parts.front() = parts.front().subspan(8);
    std::size_t available = 0;
    for (const auto part : parts) {
        available += part.size();
    }
    // Every string takes at least three bytes: a count beyond that is a lie.
    if (unique > available / 3) {
        fail("The shared string table counts more strings than it holds: the file is damaged.");
    }
    StringTableInput input(std::move(parts));
    std::vector<std::string> strings;
    strings.reserve(unique);
    for (std::uint32_t i = 0; i < unique; ++i) {
        const std::uint16_t count = input.word();
        const std::uint8_t options = input.byte();
        std::uint16_t runs = 0;
        std::uint32_t extension = 0;
        if ((options & 0x08) != 0) {
            runs = input.word();
        }
        if ((options & 0x04) != 0) {
            extension = input.word();
            extension |= static_cast<std::uint32_t>(input.word()) << 16;
        }
        strings.push_back(input.characters(count, (options & 0x01) != 0));
        input.skip(std::size_t{runs} * 4 + extension);
    }
    return strings;
}

} // namespace

std::vector<std::uint8_t> WorkbookReader::workbookStream(const std::filesystem::path& path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        fail("The file cannot be opened: " + error.message() + ".");
    }
    if (size == 0) {
        fail("The file is empty.");
    }
    if (size > MaxFileSize) {
        fail("The file is far larger than any test log: it is not one.");
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<std::uint8_t> file(static_cast<std::size_t>(size));
    if (!in || !in.read(reinterpret_cast<char*>(file.data()), static_cast<std::streamsize>(size))) {
        fail("The file cannot be read to its end.");
    }
    return workbookStreamOf(file);
}

std::vector<std::uint8_t> WorkbookReader::workbookStreamOf(std::span<const std::uint8_t> file) {
    if (file.empty()) {
        fail("The file is empty.");
    }
    try {
        return CompoundFile::readStream(file, "Workbook");
    } catch (const CompoundFile::ReadError& error) {
        switch (error.fault()) {
        case CompoundFile::ReadFault::NotACompoundFile:
            fail("The file is not an Excel 97-2003 workbook (no compound file structure).");
        case CompoundFile::ReadFault::NoSuchStream:
            fail("The file holds no workbook stream: it is not an Excel 97-2003 workbook.");
        case CompoundFile::ReadFault::ImpossibleSize:
            fail("The workbook stream claims a size the file cannot hold: the file is damaged.");
        case CompoundFile::ReadFault::Unreadable:
            break;
        }
        fail("The workbook stream cannot be read to its end: the file is truncated or damaged.");
    }
}

int WorkbookReader::readCells(std::span<const std::uint8_t> stream, const CellVisitor& visit) {
    struct Record {
        std::uint16_t type;
        std::span<const std::uint8_t> data;
    };
    std::vector<Record> records;
    for (std::size_t at = 0; at < stream.size();) {
        if (stream.size() - at < 4) {
            fail("The workbook stream ends inside a record header: the file is truncated.");
        }
        const std::uint16_t type = le16(&stream[at]);
        const std::size_t size = le16(&stream[at + 2]);
        if (stream.size() - at - 4 < size) {
            fail("A record runs past the end of the workbook stream: the file is truncated.");
        }
        records.push_back({type, stream.subspan(at + 4, size)});
        at += 4 + size;
    }
    if (records.empty() || records.front().type != RecBof || records.front().data.size() < 4 ||
        le16(records.front().data.data() + 2) != GlobalsSubstream) {
        fail("The workbook stream does not start with the workbook's globals: it is not an Excel "
             "97-2003 workbook.");
    }
    if (le16(records.front().data.data()) != Biff8Version) {
        fail("The workbook is not in the Excel 97-2003 (BIFF8) format.");
    }

    std::vector<std::string> strings;
    int boundSheets = 0;
    int sheet = -1; // -1: the globals
    bool inSubstream = false;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const auto [type, data] = records[i];
        switch (type) {
        case RecBof:
            if (inSubstream) {
                fail("A sheet starts before the previous part of the workbook has ended: the file "
                     "is damaged.");
            }
            inSubstream = true;
            if (i != 0) {
                if (data.size() < 4 || le16(data.data() + 2) != SheetSubstream) {
                    fail("The workbook holds a part that is not a worksheet.");
                }
                ++sheet;
            }
            continue;
        case RecEof:
            if (!inSubstream) {
                fail("The workbook has an end record outside any part: the file is damaged.");
            }
            inSubstream = false;
            continue;
        default:
            break;
        }
        if (!inSubstream) {
            fail("The workbook has records outside any part: the file is damaged.");
        }
        if (sheet < 0) {
            if (type == RecBoundSheet) {
                ++boundSheets;
            } else if (type == RecSst) {
                std::vector<std::span<const std::uint8_t>> parts{data};
                while (i + 1 < records.size() && records[i + 1].type == RecContinue) {
                    parts.push_back(records[++i].data);
                }
                strings = readStrings(std::move(parts));
            }
            continue;
        }
        if (type != RecLabelSst && type != RecNumber && type != RecRk && type != RecBlank) {
            continue;
        }
        const std::size_t need = type == RecNumber ? 14 : type == RecBlank ? 6 : 10;
        if (data.size() < need) {
            fail("A cell record is shorter than its kind: the file is damaged.");
        }
        ReadCell cell;
        cell.sheet = sheet;
        cell.row = le16(data.data());
        cell.column = le16(data.data() + 2);
        if (cell.row >= Worksheet::MaxRows || cell.column >= Worksheet::MaxColumns) {
            fail("A cell lies outside the sheet: the file is damaged.");
        }
        switch (type) {
        case RecLabelSst: {
            const std::uint32_t index = le32(data.data() + 6);
            if (index >= strings.size()) {
                fail("A cell names a text the shared string table does not have: the file is "
                     "damaged.");
            }
            cell.kind = ReadCell::Kind::Text;
            cell.text = strings[index];
            break;
        }
        case RecNumber:
            cell.kind = ReadCell::Kind::Number;
            cell.number = std::bit_cast<double>(le32(data.data() + 6) |
                                                std::uint64_t{le32(data.data() + 10)} << 32);
            break;
        case RecRk:
            cell.kind = ReadCell::Kind::Number;
            cell.number = rkValue(le32(data.data() + 6));
            break;
        default:
            cell.kind = ReadCell::Kind::Blank;
            break;
        }
        visit(cell);
    }
    if (inSubstream) {
        fail("The workbook ends inside a sheet: the file is truncated.");
    }
    if (sheet + 1 != boundSheets) {
        fail("The workbook lists " + std::to_string(boundSheets) + " sheets but holds " +
             std::to_string(sheet + 1) + ": the file is damaged.");
    }
    return sheet + 1;
}

} // namespace climate::report

#pragma once

#include "HoldingRegisters.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

namespace climate::config {

// One field of the page as a parameter file names it. The record names key the file; caption,
// label and register stand beside them only for the person who reads it.
struct FileField {
    QString group;        // member of ControllerParameters ("InternalFan"), or "Address"
    QString groupCaption; // as a person reads the group's title ("Internal Fan")
    QString name;         // field of the record ("StepRev")
    QString label;        // the field's label on the page ("StepRev")
    std::uint16_t reg = 0;
    ReadForm form = ReadForm::Unsigned; // how the page shows the register; Item: a combo box
};

// The page's parameter fields as a file reads and fills them: a text per field, the item's text
// for a combo box ("" when none is selected).
class ParameterFields {
public:
    virtual ~ParameterFields() = default;
    // In register order; the file keeps that order.
    [[nodiscard]] virtual std::span<const FileField> fields() const = 0;
    [[nodiscard]] virtual QString text(std::size_t index) const = 0;
    // For a combo box `text` is one of items(index) or "".
    virtual void setText(std::size_t index, const QString& text) = 0;
    // The items of a combo box; empty for an edit.
    [[nodiscard]] virtual QStringList items(std::size_t index) const = 0;
};

// What a file says about where it came from.
struct FileHeader {
    QString program;         // name and version of the program that wrote it
    QString saved;           // local date and time, ISO 8601
    int deviceAddress = 1;   // the slave the tool talked to
    QString firmwareVersion; // empty when not known
};

inline constexpr qint64 MaxFileSize = 1024 * 1024;

// True when the page can show `text` in the field: what Read All could put there (a number in
// the register's range in the field's read form, an item of a combo box), or nothing at all.
// Wider than what a Set accepts: Read All shows PluseNo 300 and Address 0.
[[nodiscard]] bool pageCanShow(const FileField& field, const QStringList& items,
                               const QString& text);

// The file's text for the page's current fields.
[[nodiscard]] QByteArray writeParameterFile(const ParameterFields& page, const FileHeader& header);

// A file read and checked, not yet applied.
struct ParsedFile {
    QString problem;         // the first problem; empty when the file can be applied
    QStringList skipped;     // entries of the file this program does not know
    QStringList unchanged;   // fields of the page the file does not hold
    QString firmwareVersion; // the header's firmware version; empty when the file names none
    std::vector<std::pair<std::size_t, QString>> values; // field index, text
};

// Checks the whole of `bytes` against `page` without changing it.
[[nodiscard]] ParsedFile readParameterFile(const QByteArray& bytes, const ParameterFields& page);

// A field whose text a file cannot hold; nullopt when every one can. The text names the field.
[[nodiscard]] std::optional<QString> firstUnsavableField(const ParameterFields& page);

// Outcome of saving or loading a file, as the user is told.
struct FileOutcome {
    bool done = false;
    QString message; // empty when there is nothing to say
};

// Writes the file in one piece (the old file stays whole if writing fails).
[[nodiscard]] FileOutcome saveParameterFile(const QString& path, const ParameterFields& page,
                                            const FileHeader& header);
// Fills every field the file holds, or none: on any problem the page stays as it was.
[[nodiscard]] FileOutcome loadParameterFile(const QString& path, ParameterFields& page);

// "parameters-2026-12-10-DCAC-HEX_V1.00.json": the date and, when known, the firmware version with
// every character a file name cannot safely hold replaced by '_'.
[[nodiscard]] QString defaultFileName(const QString& date, const QString& firmwareVersion);

} // namespace climate::config

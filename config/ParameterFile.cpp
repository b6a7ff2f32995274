#include "ParameterFile.h"

#include "link/NumberText.h"
#include "link/SaveWhole.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QStringDecoder>

#include <algorithm>
#include <limits>

namespace climate::config {

using namespace climate::link;

namespace {

constexpr auto FormatMarker = "climate-unit-parameter-set";
constexpr int FormatVersion = 1;

QString quoted(const QString& text) {
    return QLatin1Char('"') + text + QLatin1Char('"');
}

// "Internal Fan, Intfan1": how messages name a field, by the group and the label the page shows.
QString fieldName(const FileField& field) {
    return field.label.isEmpty() || field.label == field.groupCaption
               ? field.groupCaption
               : field.groupCaption + QStringLiteral(", ") + field.label;
}

bool fitsWord(std::int64_t value, ReadForm form) {
    if (form == ReadForm::Unsigned) {
        return value >= 0 && value <= std::numeric_limits<std::uint16_t>::max();
    }
    return value >= std::numeric_limits<std::int16_t>::min() &&
           value <= std::numeric_limits<std::int16_t>::max();
}

bool hasControlCharacter(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            return true;
        }
    }
    return false;
}

// The group entries of the page's fields, in register order of their first field.
struct GroupEntry {
    QString group;
    QString caption;
    std::vector<std::size_t> fields;
};

std::vector<GroupEntry> groupsOf(std::span<const FileField> fields) {
    std::vector<GroupEntry> groups;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        auto found = std::find_if(groups.begin(), groups.end(), [&](const GroupEntry& entry) {
            return entry.group == fields[i].group;
        });
        if (found == groups.end()) {
            groups.push_back({fields[i].group, fields[i].groupCaption, {}});
            found = std::prev(groups.end());
        }
        found->fields.push_back(i);
    }
    return groups;
}

// Keys of `object` outside `known`, as "<where>.<key>".
void listUnknownKeys(const QJsonObject& object, std::initializer_list<const char*> known,
                     const QString& where, QStringList& skipped) {
    for (auto it = object.begin(); it != object.end(); ++it) {
        bool isKnown = false;
        for (const char* key : known) {
            isKnown = isKnown || it.key() == QLatin1String(key);
        }
        if (!isKnown) {
            skipped << (where.isEmpty() ? it.key() : where + QLatin1Char('.') + it.key());
        }
    }
}

// Reads the checked JSON document into `parsed`; sets parsed.problem at the first fault.
void readDocument(const QJsonObject& root, const ParameterFields& page, ParsedFile& parsed) {
    const std::span<const FileField> fields = page.fields();
    if (root.value(QLatin1String("format")).toString() != QLatin1String(FormatMarker)) {
        parsed.problem = QStringLiteral("it is not a parameter file of this program");
        return;
    }
    const QJsonValue version = root.value(QLatin1String("version"));
    if (!version.isDouble() || version.toDouble() < 1 ||
        version.toDouble() != static_cast<double>(version.toInt())) {
        parsed.problem = QStringLiteral("its version number is missing or not a whole number");
        return;
    }
    listUnknownKeys(root, {"format", "version", "header", "groups"}, QString(), parsed.skipped);
    if (root.contains(QLatin1String("header"))) {
        const QJsonObject header = root.value(QLatin1String("header")).toObject();
        listUnknownKeys(header, {"program", "saved", "DeviceAddress", "firmware"},
                        QStringLiteral("header"), parsed.skipped);
        parsed.firmwareVersion = header.value(QLatin1String("firmware")).toString();
    }
    const QJsonValue groups = root.value(QLatin1String("groups"));
    if (!groups.isArray()) {
        parsed.problem = QStringLiteral("it has no list of groups");
        return;
    }

    std::vector<bool> seen(fields.size(), false);
    for (const QJsonValue& groupValue : groups.toArray()) {
        const QJsonObject group = groupValue.toObject();
        const QString groupName = group.value(QLatin1String("record")).toString();
        if (!groupValue.isObject() || groupName.isEmpty()) {
            parsed.problem = QStringLiteral("a group has no record name");
            return;
        }
        const bool knownGroup = std::any_of(
            fields.begin(), fields.end(), [&](const FileField& f) { return f.group == groupName; });
        if (!knownGroup) {
            parsed.skipped << groupName;
            continue;
        }
        listUnknownKeys(group, {"record", "caption", "fields"}, groupName, parsed.skipped);
        const QJsonValue entries = group.value(QLatin1String("fields"));
        if (!entries.isArray()) {
            parsed.problem = groupName + QStringLiteral(" has no list of fields");
            return;
        }
        for (const QJsonValue& entryValue : entries.toArray()) {
            const QJsonObject entry = entryValue.toObject();
            const QString name = entry.value(QLatin1String("record")).toString();
            if (!entryValue.isObject() || name.isEmpty()) {
                parsed.problem = groupName + QStringLiteral(": a field has no record name");
                return;
            }
            const auto field = std::find_if(fields.begin(), fields.end(), [&](const FileField& f) {
                return f.group == groupName && f.name == name;
            });
            const QString path = groupName + QLatin1Char('.') + name;
            if (field == fields.end()) {
                parsed.skipped << path;
                continue;
            }
            const auto index = static_cast<std::size_t>(field - fields.begin());
            if (seen[index]) {
                parsed.problem = fieldName(*field) + QStringLiteral(": the field appears twice");
                return;
            }
            seen[index] = true;
            listUnknownKeys(entry, {"record", "label", "group", "register", "value"}, path,
                            parsed.skipped);
            const QJsonValue value = entry.value(QLatin1String("value"));
            if (!value.isString()) {
                parsed.problem = fieldName(*field) + QStringLiteral(": the value is not a text");
                return;
            }
            if (!pageCanShow(*field, page.items(index), value.toString())) {
                parsed.problem = fieldName(*field) + QStringLiteral(": ") +
                                 quoted(value.toString()) +
                                 QStringLiteral(" is not a value this field can show");
                return;
            }
            parsed.values.emplace_back(index, value.toString());
        }
    }
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!seen[i]) {
            parsed.unchanged << fieldName(fields[i]);
        }
    }
}

} // namespace

bool pageCanShow(const FileField& field, const QStringList& items, const QString& text) {
    if (text.isEmpty()) {
        return true; // a field Read All cleared, a combo box with no item selected
    }
    if (hasControlCharacter(text)) {
        return false;
    }
    const std::string utf8 = text.toStdString();
    try {
        switch (field.form) {
        case ReadForm::Item:
            return items.contains(text);
        case ReadForm::Unsigned:
        case ReadForm::Signed:
            return fitsWord(parseInteger(utf8), field.form);
        case ReadForm::Tenths:
            return fitsWord(DecimalNumber::parse(utf8).truncatedTenths(), field.form);
        }
    } catch (const ConversionError&) {
        return false;
    }
    return false;
}

QByteArray writeParameterFile(const ParameterFields& page, const FileHeader& header) {
    const std::span<const FileField> fields = page.fields();
    QJsonArray groups;
    for (const GroupEntry& entry : groupsOf(fields)) {
        QJsonArray entries;
        for (const std::size_t i : entry.fields) {
            const FileField& field = fields[i];
            entries.append(QJsonObject{{QStringLiteral("record"), field.name},
                                       {QStringLiteral("label"), field.label},
                                       {QStringLiteral("group"), field.groupCaption},
                                       {QStringLiteral("register"), field.reg},
                                       {QStringLiteral("value"), page.text(i)}});
        }
        groups.append(QJsonObject{{QStringLiteral("record"), entry.group},
                                  {QStringLiteral("caption"), entry.caption},
                                  {QStringLiteral("fields"), entries}});
    }
    QJsonObject head{{QStringLiteral("program"), header.program},
                     {QStringLiteral("saved"), header.saved},
                     {QStringLiteral("DeviceAddress"), header.deviceAddress}};
    if (!header.firmwareVersion.isEmpty()) {
        head.insert(QStringLiteral("firmware"), header.firmwareVersion);
    }
    const QJsonObject root{{QStringLiteral("format"), QLatin1String(FormatMarker)},
                           {QStringLiteral("version"), FormatVersion},
                           {QStringLiteral("header"), head},
                           {QStringLiteral("groups"), groups}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

ParsedFile readParameterFile(const QByteArray& bytes, const ParameterFields& page) {
    ParsedFile parsed;
    if (bytes.size() > MaxFileSize) {
        parsed.problem = QStringLiteral("it is larger than 1 MiB");
        return parsed;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError() || bytes.contains('\0')) {
        parsed.problem = QStringLiteral("it is not a text file");
        return parsed;
    }
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        parsed.problem = QStringLiteral("it is damaged or cut short (%1 at character %2)")
                             .arg(error.errorString())
                             .arg(error.offset);
        return parsed;
    }
    if (!document.isObject()) {
        parsed.problem = QStringLiteral("it is not a parameter file of this program");
        return parsed;
    }
    readDocument(document.object(), page, parsed);
    if (!parsed.problem.isEmpty()) {
        parsed.values.clear();
    }
    return parsed;
}

std::optional<QString> firstUnsavableField(const ParameterFields& page) {
    const std::span<const FileField> fields = page.fields();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (!pageCanShow(fields[i], page.items(i), page.text(i))) {
            return fieldName(fields[i]) + QStringLiteral(": ") + quoted(page.text(i));
        }
    }
    return std::nullopt;
}

FileOutcome saveParameterFile(const QString& path, const ParameterFields& page,
                              const FileHeader& header) {
    const QString name = quoted(QFileInfo(path).fileName());
    if (const std::optional<QString> field = firstUnsavableField(page)) {
        return {false, QStringLiteral("%1 was not saved: %2 is not a number this field can hold.")
                           .arg(name, *field)};
    }
    if (QString error; !saveWhole(path, writeParameterFile(page, header), &error)) {
        return {false, QStringLiteral("%1 was not saved: %2.").arg(name, error)};
    }
    return {true, QString()};
}

FileOutcome loadParameterFile(const QString& path, ParameterFields& page) {
    const QString name = quoted(QFileInfo(path).fileName());
    const auto refused = [&](const QString& problem) {
        return FileOutcome{
            false,
            QStringLiteral("%1 was not loaded: %2. No field was changed.").arg(name, problem)};
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return refused(file.errorString());
    }
    // Read one byte beyond the limit, so a larger file is known without reading all of it.
    const QByteArray bytes = file.read(MaxFileSize + 1);
    const ParsedFile parsed = readParameterFile(bytes, page);
    if (!parsed.problem.isEmpty()) {
        return refused(parsed.problem);
    }
    for (const auto& [index, text] : parsed.values) {
        page.setText(index, text);
    }
    QStringList notes;
    if (!parsed.skipped.isEmpty()) {
        notes << QStringLiteral("Skipped, unknown to this program: %1.")
                     .arg(parsed.skipped.join(QStringLiteral("; ")));
    }
    if (!parsed.unchanged.isEmpty()) {
        notes << QStringLiteral("Left unchanged, not in the file: %1.")
                     .arg(parsed.unchanged.join(QStringLiteral("; ")));
    }
    if (notes.isEmpty()) {
        return {true, QString()};
    }
    return {true, QStringLiteral("%1 was loaded.\n").arg(name) + notes.join(QLatin1Char('\n'))};
}

QString defaultFileName(const QString& date, const QString& firmwareVersion) {
    QString name = QStringLiteral("parameters-") + date;
    if (!firmwareVersion.trimmed().isEmpty()) {
        QString safe = firmwareVersion.trimmed();
        for (QChar& c : safe) {
            if (c.unicode() < 0x20 || c.isSpace() || QStringLiteral("/\\:*?\"<>|").contains(c)) {
                c = QLatin1Char('_');
            }
        }
        name += QLatin1Char('-') + safe;
    }
    return name + QStringLiteral(".json");
}

} // namespace climate::config

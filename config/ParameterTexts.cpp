#include "ParameterTexts.h"

#include "ParameterGroups.h"

#include "link/NumberText.h"

#include <utility>

namespace climate::config {

using namespace climate::link;

namespace {

// "InternalFan.StepRev" -> "InternalFan", "StepRev"; "Address" -> "Address", "Address".
std::pair<QString, QString> recordNames(const char* record) {
    const QString path = QString::fromUtf8(record);
    const qsizetype dot = path.indexOf(QLatin1Char('.'));
    return dot < 0 ? std::pair{path, path} : std::pair{path.left(dot), path.mid(dot + 1)};
}

} // namespace

QStringList fieldItems(const HoldingRegister& row) {
    if (row.control.kind != Control::Kind::ComboBox) {
        return {};
    }
    // ExtInput's Type tells a normally open contact from a normally closed one; every other
    // combo box switches something off or on.
    if (row.control == comboBox(7)) {
        return {QStringLiteral("NO"), QStringLiteral("NC")};
    }
    return {QStringLiteral("Disable"), QStringLiteral("Enable")};
}

const std::vector<FileField>& parameterFileFields() {
    static const std::vector<FileField> fields = [] {
        std::vector<FileField> made;
        for (const HoldingRegister& row : holdingRegisters()) {
            const auto [group, name] = recordNames(row.record);
            // The page's titles keep their stray blanks ("Heater ", "Temp.  Alarm"); a file does
            // not.
            const QString caption =
                QString::fromUtf8(parameterGroup(row.group).caption).simplified();
            const QString label = *row.label != '\0' ? QString::fromUtf8(row.label) : caption;
            made.push_back({group, caption, name, label, row.reg, row.readForm});
        }
        return made;
    }();
    return fields;
}

std::optional<std::uint16_t> setRuleWord(const HoldingRegister& row, const QString& text) {
    if (row.control.kind == Control::Kind::ComboBox) {
        return wordForItem(row, static_cast<int>(fieldItems(row).indexOf(text)));
    }
    try {
        return wordForText(row, text.toStdString());
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

QString readAllText(const HoldingRegister& row, std::uint16_t word) {
    if (row.readForm != ReadForm::Item) {
        return QString::fromStdString(shownText(row, word));
    }
    const QStringList items = fieldItems(row);
    const int item = registerItem(word, static_cast<int>(items.size()));
    return item < 0 ? QString::number(static_cast<std::int16_t>(word)) : items.at(item);
}

} // namespace climate::config

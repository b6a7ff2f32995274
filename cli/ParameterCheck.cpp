#include "ParameterCheck.h"

#include "config/ParameterGroups.h"
#include "config/ParameterTexts.h"
#include "config/SetAllPlan.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace climate::cli {

using namespace climate::config;

namespace {

bool writtenBySetAll(const HoldingRegister& row) {
    return std::ranges::any_of(
        setAllGroups(), [&](const ParameterGroup* group) { return group->command == row.group; });
}

QString fieldName(const HoldingRegister& row) {
    return QString::fromUtf8(*row.label != '\0' ? row.label : row.record);
}

} // namespace

std::optional<QString> loadParameterSet(const QString& path, ParameterSet& set) {
    const QString name = QFileInfo(path).fileName();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    }
    // One byte beyond the limit, so a larger file is known without reading all of it.
    const QByteArray bytes = file.read(MaxFileSize + 1);
    // Checking changes nothing; the texts are filled only from a file that can be used.
    const ParsedFile parsed = readParameterFile(bytes, set.texts);
    if (!parsed.problem.isEmpty()) {
        return QStringLiteral("%1: %2").arg(name, parsed.problem);
    }
    set.held.assign(set.texts.fields().size(), false);
    for (const auto& [index, text] : parsed.values) {
        set.texts.setText(index, text);
        set.held.at(index) = true;
    }
    set.skipped = parsed.skipped;
    set.firmware = parsed.firmwareVersion.trimmed();
    return std::nullopt;
}

std::optional<QString> firstMissingField(const ParameterSet& set) {
    for (std::size_t i = 0; i < set.held.size(); ++i) {
        const HoldingRegister& row = set.texts.row(i);
        if (!set.held[i] && writtenBySetAll(row)) {
            return QStringLiteral("%1, %2").arg(groupName(parameterGroup(row.group)),
                                                fieldName(row));
        }
    }
    return std::nullopt;
}

bool holdsAnyComparedField(const ParameterSet& set) {
    for (std::size_t i = 0; i < set.held.size(); ++i) {
        if (set.held[i] && writtenBySetAll(set.texts.row(i))) {
            return true;
        }
    }
    return false;
}

ParameterComparison compareWithController(const ParameterSet& set,
                                          std::span<const std::uint16_t> registers) {
    ParameterComparison comparison;
    for (std::size_t i = 0; i < set.held.size(); ++i) {
        const HoldingRegister& row = set.texts.row(i);
        if (!set.held[i] || !writtenBySetAll(row)) {
            continue;
        }
        ++comparison.compared;
        const std::uint16_t word = registers[row.reg];
        const QString text = set.texts.text(i);
        if (setRuleWord(row, text) != word) {
            comparison.differences.push_back({groupName(parameterGroup(row.group)), fieldName(row),
                                              row.reg, text, readAllText(row, word)});
        }
    }
    return comparison;
}

QStringList groupsNotWritten() {
    QStringList names;
    for (const ParameterGroup& group : parameterGroups()) {
        if (std::ranges::find(setAllGroups(), &group) == setAllGroups().end()) {
            names << groupName(group);
        }
    }
    return names;
}

} // namespace climate::cli

#include "SetAllPlan.h"

#include "FieldSource.h"

#include "link/ModbusException.h"

#include <QStringList>

#include <algorithm>

namespace climate::config {

using namespace climate::link;

namespace {

constexpr auto LeftOut = "Calibration and Address are not part of Set All: set them with their "
                         "own buttons.";

QString fieldName(const ParameterGroup& group, const HoldingRegister& field) {
    const QString label = *field.label != '\0' ? QString::fromUtf8(field.label) : QString();
    return label.isEmpty() ? groupName(group) : groupName(group) + QStringLiteral(", ") + label;
}

QStringList namesOf(std::size_t from, std::size_t to) {
    QStringList names;
    for (std::size_t i = from; i < to; ++i) {
        names << groupName(*setAllGroups()[i]);
    }
    return names;
}

QString failureText(GroupFailure failure) {
    switch (failure.kind) {
    case GroupFailure::Kind::NoReply:
        return QStringLiteral("no reply in time");
    case GroupFailure::Kind::Refused:
        return link::refusalText(failure.exceptionCode);
    case GroupFailure::Kind::WrongReply:
        return QStringLiteral("a wrong reply (another address or function)");
    case GroupFailure::Kind::Abandoned:
        return QStringLiteral("abandoned, the page was left while it was being written");
    }
    return {};
}

} // namespace

QString groupName(const ParameterGroup& group) {
    return QString::fromUtf8(group.caption).simplified();
}

const std::vector<const ParameterGroup*>& setAllGroups() {
    static const std::vector<const ParameterGroup*> groups = [] {
        std::vector<const ParameterGroup*> chosen;
        for (const ParameterGroup& group : parameterGroups()) {
            if (group.command != ConfigCommand::SetCalibration &&
                group.command != ConfigCommand::SetAddress) {
                chosen.push_back(&group);
            }
        }
        std::ranges::sort(chosen, {}, &ParameterGroup::firstRegister);
        return chosen;
    }();
    return groups;
}

std::optional<SetAllRefusal> stageSetAll(const FieldSource& fields,
                                         ControllerParameters& parameters) {
    ControllerParameters staged = parameters;
    for (const ParameterGroup* group : setAllGroups()) {
        // Staged as the group's own Set stages it, on a copy until every group has passed.
        if (const std::optional<GroupRefusal> refusal = stageOrRefuse(*group, fields, staged)) {
            return SetAllRefusal{group, refusal->field,
                                 refusal->notConverted
                                     ? QString::fromUtf8(refusal->notConverted->what())
                                     : QStringLiteral("data out of range")};
        }
    }
    parameters = staged;
    return std::nullopt;
}

QString refusalText(const SetAllRefusal& refusal) {
    return QStringLiteral("Nothing was sent. %1: %2.")
        .arg(fieldName(*refusal.group, *refusal.field), refusal.reason);
}

QString progressText(std::size_t index) {
    return QStringLiteral("Writing %1 of %2: %3")
        .arg(index + 1)
        .arg(setAllGroups().size())
        .arg(groupName(*setAllGroups().at(index)));
}

QString finishedText(std::size_t written, bool stopped) {
    const std::size_t count = setAllGroups().size();
    if (!stopped) {
        return QStringLiteral("Set All: %1 of %2 written").arg(written).arg(count);
    }
    return QStringLiteral("Set All stopped at %1 of %2: %3")
        .arg(written + 1)
        .arg(count)
        .arg(groupName(*setAllGroups().at(written)));
}

QString setAllSummary(std::size_t written, std::optional<GroupFailure> failure) {
    const std::size_t count = setAllGroups().size();
    QStringList lines;
    if (!failure) {
        lines << QStringLiteral("All %1 groups were written: %2.")
                     .arg(count)
                     .arg(namesOf(0, count).join(QStringLiteral(", ")));
    } else {
        const QStringList done = namesOf(0, written);
        lines << QStringLiteral("Written: %1.")
                     .arg(done.isEmpty() ? QStringLiteral("none")
                                         : done.join(QStringLiteral(", ")));
        lines << QStringLiteral("%1 failed: %2.")
                     .arg(groupName(*setAllGroups().at(written)), failureText(*failure));
        lines << QStringLiteral("Set All stopped there; not written: %1.")
                     .arg(namesOf(written, count).join(QStringLiteral(", ")));
    }
    lines << QString::fromLatin1(LeftOut);
    return lines.join(QLatin1Char('\n'));
}

} // namespace climate::config

#include "FanCurveRecords.h"

#include "link/Invariant.h"

namespace climate::curves {

FanCurveRecords::FanCurveRecords(QObject* parent) : QObject(parent) {}

FanCurveRecords::Record& FanCurveRecords::record(Group group) {
    link::checkInvariant(group == InternalFans || group == ExternalFans, "no such fan group");
    return m_records[static_cast<std::size_t>(group)];
}

const FanCurveRecords::Record& FanCurveRecords::record(Group group) const {
    link::checkInvariant(group == InternalFans || group == ExternalFans, "no such fan group");
    return m_records[static_cast<std::size_t>(group)];
}

void FanCurveRecords::readPosted(Group group) {
    record(group).drawn = false;
    emit curveChanged(group);
    emit raised(group);
}

void FanCurveRecords::readReceived(Group group, const FanCurveParameters& parameters) {
    Record& changed = record(group);
    changed.parameters = parameters;
    changed.drawn = true;
    emit curveChanged(group);
}

const FanCurveParameters& FanCurveRecords::parameters(Group group) const {
    return record(group).parameters;
}

bool FanCurveRecords::isDrawn(Group group) const {
    return record(group).drawn;
}

} // namespace climate::curves

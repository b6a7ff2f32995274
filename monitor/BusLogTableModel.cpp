#include "BusLogTableModel.h"

#include "BusLog.h"
#include "BusLogExport.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QStyle>

#include <algorithm>

namespace climate::monitor {

using namespace climate::link;

BusLogTableModel::BusLogTableModel(const BusLog& log, QObject* parent)
    : QAbstractTableModel(parent), m_log(log), m_shownFirst(log.firstSequence()),
      m_shownEnd(log.firstSequence()) {}

int BusLogTableModel::refresh(bool appendNew) {
    const std::uint64_t first = m_log.firstSequence();
    const std::uint64_t end = m_log.endSequence();
    if (first > m_shownFirst) {
        const std::uint64_t gone = std::min(first, m_shownEnd) - m_shownFirst;
        if (gone > 0) {
            beginRemoveRows({}, 0, static_cast<int>(gone) - 1);
            m_shownFirst += gone;
            endRemoveRows();
        }
        if (m_shownFirst < first) { // everything shown was dropped, and more
            m_shownFirst = first;
            m_shownEnd = first;
        }
    }
    if (!appendNew || end <= m_shownEnd) {
        return 0;
    }
    const auto added = static_cast<int>(end - m_shownEnd);
    beginInsertRows({}, rowCount(), rowCount() + added - 1);
    m_shownEnd = end;
    endInsertRows();
    return added;
}

std::uint64_t BusLogTableModel::pending() const {
    return m_log.endSequence() - std::max(m_shownEnd, m_log.firstSequence());
}

int BusLogTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_shownEnd - m_shownFirst);
}

int BusLogTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant BusLogTableModel::data(const QModelIndex& index, int role) const {
    const std::uint64_t sequence = m_shownFirst + static_cast<std::uint64_t>(index.row());
    if (!index.isValid() || sequence < m_log.firstSequence() || sequence >= m_log.endSequence()) {
        return {};
    }
    const BusEntry& entry = m_log.entries()[sequence - m_log.firstSequence()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        switch (index.column()) {
        case TimeColumn:
            return QString::number(entry.msSinceStart);
        case WallClockColumn:
            return m_log.wallClock(entry).toString(QStringLiteral("HH:mm:ss.zzz"));
        case DirectionColumn:
            return directionText(entry.direction);
        case HexColumn:
            return hexText(entry);
        case MeaningColumn:
            return entry.replyMs ? QStringLiteral("%1 (reply after %2 ms)")
                                       .arg(entry.meaning)
                                       .arg(*entry.replyMs, 0, 'f', 1)
                                 : entry.meaning;
        case OutcomeColumn:
            return entry.outcome;
        default:
            return {};
        }
    case Qt::BackgroundRole:
        // Colour is one cue; the outcome text and its icon say the same without it.
        switch (entry.severity) {
        case BusEntry::Severity::Error:
            return QBrush(QColor(255, 205, 205));
        case BusEntry::Severity::Warning:
            return QBrush(QColor(255, 236, 179));
        case BusEntry::Severity::Normal:
            return {};
        }
        return {};
    case Qt::ForegroundRole:
        return entry.severity == BusEntry::Severity::Normal ? QVariant()
                                                            : QVariant(QBrush(Qt::black));
    case Qt::DecorationRole:
        if (index.column() != OutcomeColumn || entry.severity == BusEntry::Severity::Normal) {
            return {};
        }
        return QApplication::style()->standardIcon(entry.severity == BusEntry::Severity::Error
                                                       ? QStyle::SP_MessageBoxCritical
                                                       : QStyle::SP_MessageBoxWarning);
    default:
        return {};
    }
}

QVariant BusLogTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    switch (section) {
    case TimeColumn:
        return QStringLiteral("ms");
    case WallClockColumn:
        return QStringLiteral("Time");
    case DirectionColumn:
        return QStringLiteral("Dir");
    case HexColumn:
        return QStringLiteral("Bytes");
    case MeaningColumn:
        return QStringLiteral("Meaning");
    case OutcomeColumn:
        return QStringLiteral("Outcome");
    default:
        return {};
    }
}

} // namespace climate::monitor

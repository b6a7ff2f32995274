#pragma once

#include <QAbstractTableModel>

#include <cstdint>

namespace climate::monitor {

class BusLog;

// The bus log as rows of a table view. The rows follow the log only when refresh() is called (the
// monitor does so on a timer, at most ten times a second), so a busy bus never costs a view
// update per entry. Rows whose entries the log has dropped since show nothing until then.
class BusLogTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column {
        TimeColumn,
        WallClockColumn,
        DirectionColumn,
        HexColumn,
        MeaningColumn,
        OutcomeColumn,
        ColumnCount
    };

    explicit BusLogTableModel(const BusLog& log, QObject* parent = nullptr);

    // Removes the rows of entries the log no longer holds; appends rows for its new entries
    // unless `appendNew` is false (the view is paused). Returns the number of rows appended.
    int refresh(bool appendNew = true);
    // Entries the log holds that are not shown yet (while paused).
    [[nodiscard]] std::uint64_t pending() const;

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role) const override;

private:
    const BusLog& m_log;
    std::uint64_t m_shownFirst = 0; // sequence of the first row
    std::uint64_t m_shownEnd = 0;   // one past the sequence of the last row
};

} // namespace climate::monitor

#pragma once

#include "BusLog.h"
#include "ControllerSearch.h"

#include <QTimer>
#include <QWidget>

#include <map>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class QTreeWidget;

namespace climate::monitor {

class BusLogTableModel;
class MonitorHost;

// The "Bus Monitor" window: every frame the engine sends and reads with its time, meaning and
// outcome, the counters, and the search for the controller. A separate, non-modal window; it
// watches the engine only while it is open (closing it detaches the observer and ends a search),
// and opening it starts a fresh log.
class BusMonitorWindow : public QWidget {
    Q_OBJECT

public:
    // The view and counters follow the log at most this often.
    static constexpr int RefreshIntervalMs = 100;

    explicit BusMonitorWindow(MonitorHost& host, QWidget* parent = nullptr);
    ~BusMonitorWindow() override;

    [[nodiscard]] BusLog& log() { return m_log; }
    [[nodiscard]] ControllerSearch& search() { return *m_search; }
    [[nodiscard]] bool isWatching() const { return m_watching; }

    // Brings the list, the counters and the buttons in step (the refresh timer does this).
    void refresh();
    // Writes the list to `path` (CSV when it ends in .csv, else text); the status line tells
    // how it went.
    bool saveTo(const QString& path);
    // Searches [first, last] (the whole address range from the button).
    bool findController(int first = ControllerSearch::FirstAddress,
                        int last = ControllerSearch::LastAddress);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    QWidget* buildCounters();
    QWidget* buildSearch();
    void startWatching();
    void stopWatching();
    void showFound();
    void chooseSaveFile();
    void useSelectedAddress();
    void onSearchFinished(ControllerSearch::End end);

    MonitorHost& m_host;
    BusLog m_log;
    BusLogTableModel* m_model = nullptr;
    ControllerSearch* m_search = nullptr;
    QTimer m_refresh;
    bool m_watching = false;

    QPushButton* m_pause = nullptr;
    QTableView* m_view = nullptr;
    QLabel* m_status = nullptr;
    std::map<QString, QLabel*> m_counterValues;
    QPushButton* m_find = nullptr;
    QPushButton* m_cancel = nullptr;
    QProgressBar* m_progress = nullptr;
    QTreeWidget* m_found = nullptr;
    QPushButton* m_use = nullptr;
    QString m_saveStatus;
};

} // namespace climate::monitor

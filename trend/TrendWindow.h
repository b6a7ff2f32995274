#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class QButtonGroup;
class QLabel;
class QGroupBox;
class QPushButton;
class QTimer;

namespace climate::trend {

class TrendChart;
class TrendHistory;

// The Trend window: the channel list, the time spans, pause, the chart with its cursor readout,
// opening a test log and exporting the chart (PNG) and the samples (CSV). Non-modal; it shows
// either the live history or a log opened from a file.
class TrendWindow : public QWidget {
    Q_OBJECT

public:
    // The spans offered, in ms; 0 is everything.
    static constexpr std::int64_t FiveMinutes = 5 * 60 * 1000;
    static constexpr std::int64_t ThirtyMinutes = 30 * 60 * 1000;
    static constexpr std::int64_t TwoHours = 2 * 60 * 60 * 1000;
    static constexpr std::int64_t Everything = 0;

    // Reads the file at `path` into `into` (cleared first); throws std::exception whose what()
    // is the one sentence to show when the file cannot be read.
    using LogOpener = std::function<void(const QString& path, TrendHistory& into)>;
    // Asks for a file: to open (`save` false) or to write; empty when the user cancels.
    using FileChooser =
        std::function<QString(const QString& caption, const QString& filter, bool save)>;

    explicit TrendWindow(TrendHistory& live, QWidget* parent = nullptr);
    ~TrendWindow() override;

    void setLogOpener(LogOpener opener) { m_openLog = std::move(opener); }
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    // The clock the live view follows (ms since the epoch; the system clock unless given).
    void setClock(std::function<std::int64_t()> clock) { m_clock = std::move(clock); }

    // "Open log…", "Export PNG…" and "Export CSV…" with the path already chosen.
    bool openLog(const QString& path);
    bool exportPng(const QString& path);
    bool exportCsv(const QString& path);
    // Back to the live samples.
    void showLive();

    void setSpan(std::int64_t spanMs);
    [[nodiscard]] std::int64_t span() const { return m_spanMs; }
    void setPaused(bool paused);
    [[nodiscard]] bool paused() const { return m_paused; }

    [[nodiscard]] TrendChart* chart() const { return m_chart; }
    [[nodiscard]] const TrendHistory& shownHistory() const;
    // The cursor readout as shown (its first line is the time).
    [[nodiscard]] QString readoutText() const;
    // The last error shown in a box (empty if none).
    [[nodiscard]] QString lastError() const { return m_lastError; }

private:
    void buildLayout();
    void follow();
    void refreshReadout();
    void refreshDescription();
    void showError(const QString& text);
    [[nodiscard]] std::int64_t now() const;
    [[nodiscard]] QString spanText() const;

    TrendHistory& m_live;
    std::unique_ptr<TrendHistory> m_log;
    bool m_showingLog = false;
    QString m_logName;

    TrendChart* m_chart = nullptr;
    QGroupBox* m_channels = nullptr;
    QButtonGroup* m_spans = nullptr;
    QPushButton* m_pause = nullptr;
    QPushButton* m_liveButton = nullptr;
    QLabel* m_source = nullptr;
    QLabel* m_readout = nullptr;
    QTimer* m_followTimer = nullptr;

    std::int64_t m_spanMs = FiveMinutes;
    bool m_paused = false;
    QString m_lastError;
    LogOpener m_openLog;
    FileChooser m_chooseFile;
    std::function<std::int64_t()> m_clock;
};

} // namespace climate::trend

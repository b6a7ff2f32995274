#pragma once

#include "TrendChannels.h"

#include <QWidget>

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <vector>

namespace climate::trend {

class TrendHistory;

// The trend's chart: one pane per unit that has a channel shown, stacked over one time axis,
// each pane scaled to the values it shows in view. Lines are drawn from a min/max reduction per
// pixel column; alarm rises are red marks on the time axis. The wheel zooms the time axis around
// the mouse, a drag pans it, and the mouse places the cursor. It only shows: the window decides
// what.
class TrendChart : public QWidget {
    Q_OBJECT

public:
    static constexpr int LeftMargin = 64;
    static constexpr int RightMargin = 10;
    static constexpr int TopMargin = 6;
    static constexpr int AxisHeight = 24;
    static constexpr int PaneGap = 6;
    // The widest range shown, whoever sets it: ten years. The live history holds about a week
    // and a test log one run, so no view a person asks for comes near it; it keeps every time
    // the chart computes exact in a double and whole in 64 bits.
    static constexpr double LongestRangeMs = 10 * 365.25 * 24 * 3600 * 1000.0;
    // The time axis keeps this many pixels between its labels, at least.
    static constexpr int LabelSpacing = 95;

    explicit TrendChart(QWidget* parent = nullptr);

    // The history shown (not owned; nullptr shows nothing).
    void setHistory(const TrendHistory* history);
    [[nodiscard]] const TrendHistory* history() const { return m_history; }

    void setChannelShown(std::size_t channel, bool shown);
    [[nodiscard]] bool channelShown(std::size_t channel) const { return m_shown.test(channel); }

    // The time range shown, in ms since the epoch: at least two seconds and at most
    // LongestRangeMs wide (kept around its middle), within the years 1 to 9999. Ranges that are not
    // finite numbers are ignored.
    void setTimeRange(double fromMs, double toMs);
    [[nodiscard]] double fromMs() const { return m_fromMs; }
    [[nodiscard]] double toMs() const { return m_toMs; }

    // The cursor's time, if the mouse placed one.
    [[nodiscard]] std::optional<std::int64_t> cursorMs() const { return m_cursorMs; }
    void setCursorMs(std::optional<std::int64_t> ms);

    // The plotting area (between the margins, above the time axis).
    [[nodiscard]] QRect plotRect() const;
    // The x of a time inside the plot, and the time of an x.
    [[nodiscard]] double xOfMs(double ms) const;
    [[nodiscard]] double msOfX(double x) const;
    // The panes shown now, top to bottom, with their rectangles.
    struct Pane {
        TrendUnit unit;
        QRect rect;
        double minimum;
        double maximum;
    };
    [[nodiscard]] std::vector<Pane> panes() const;
    // The widest range the wheel zooms out to: the history's span and a twentieth of it on each
    // side, at least a day.
    [[nodiscard]] double widestZoomMs() const;
    // Paints the whole chart; the benchmark measures it.
    void paintChart(QPainter& painter) const;

    [[nodiscard]] QSize sizeHint() const override { return {900, 560}; }
    [[nodiscard]] QSize minimumSizeHint() const override { return {320, 220}; }

signals:
    // The user zoomed or panned: the view no longer follows new samples.
    void viewChangedByUser();
    void cursorMoved();

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    struct Layout;
    [[nodiscard]] Layout layout() const;
    void paintTimeAxis(QPainter& painter, const QRect& plot) const;
    void paintPane(QPainter& painter, const Pane& pane, const Layout& layout) const;

    const TrendHistory* m_history = nullptr;
    std::bitset<ChannelCount> m_shown;
    double m_fromMs = 0;
    double m_toMs = 1;
    std::optional<std::int64_t> m_cursorMs;
    std::optional<int> m_dragX;
    double m_dragFromMs = 0;
    double m_dragToMs = 0;
};

} // namespace climate::trend

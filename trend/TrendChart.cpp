#include "TrendChart.h"

#include "MinMaxReduction.h"
#include "TrendHistory.h"
#include "widgets/ScaleDiv.h"
#include "widgets/ScaleMap.h"

#include <QDateTime>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace climate::trend {

using widgets::ScaleDiv;
using widgets::ScaleMap;

namespace {

constexpr std::int64_t Second = 1000;
constexpr std::int64_t Minute = 60 * Second;
constexpr std::int64_t Hour = 60 * Minute;
constexpr std::int64_t Day = 24 * Hour;
// The axis's steps, shortest first: fixed lengths up to a week, then calendar months and years
// (ticks on the first of a month, local time).
struct TimeStep {
    std::int64_t ms = 0; // a fixed length, or 0 for a calendar step
    int months = 0;
    [[nodiscard]] double approximateMs() const {
        return ms != 0 ? double(ms) : months * 30.44 * Day;
    }
};
constexpr std::array<TimeStep, 30> TimeSteps{{
    {Second, 0},      {2 * Second, 0},  {5 * Second, 0}, {10 * Second, 0}, {15 * Second, 0},
    {30 * Second, 0}, {Minute, 0},      {2 * Minute, 0}, {5 * Minute, 0},  {10 * Minute, 0},
    {15 * Minute, 0}, {30 * Minute, 0}, {Hour, 0},       {2 * Hour, 0},    {3 * Hour, 0},
    {6 * Hour, 0},    {12 * Hour, 0},   {Day, 0},        {2 * Day, 0},     {7 * Day, 0},
    {0, 1},           {0, 3},           {0, 6},          {0, 12},          {0, 24},
    {0, 60},          {0, 120},         {0, 240},        {0, 600},         {0, 1200},
}};
constexpr double ShortestRangeMs = 2000;
// The wheel never zooms out to less than this, so a history of a few samples still zooms out
// past the longest span the window offers.
constexpr double WidestZoomFloorMs = double(Day);
// 0001-01-01 and 9999-12-31 UTC: the dates have four-digit years throughout.
constexpr double EarliestMs = -62135596800000.0;
constexpr double LatestMs = 253402300799999.0;

struct TimeTick {
    std::int64_t ms = 0;
    QString label;
};

// The ticks of the time axis between `fromMs` and `toMs`: the shortest step that leaves at most
// `maxIntervals` intervals, and never more than maxIntervals + 1 ticks, whatever the range.
std::vector<TimeTick> timeTicks(double fromMs, double toMs, int maxIntervals) {
    const double range = toMs - fromMs;
    TimeStep step = TimeSteps.back();
    for (const TimeStep& candidate : TimeSteps) {
        if (range / candidate.approximateMs() <= maxIntervals) {
            step = candidate;
            break;
        }
    }
    const auto most = static_cast<std::size_t>(maxIntervals) + 1;
    std::vector<TimeTick> ticks;
    if (step.ms != 0) {
        const QString format = step.ms < Minute ? QStringLiteral("HH:mm:ss")
                               : step.ms < Day  ? QStringLiteral("HH:mm")
                                                : QStringLiteral("d MMM");
        // Whole steps of local time (the offset at the start; a change of offset in view shifts
        // the later ticks by it).
        const QDateTime probe = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(fromMs));
        const std::int64_t offset = std::int64_t{probe.offsetFromUtc()} * Second;
        const auto first = static_cast<std::int64_t>(
            std::ceil((fromMs + double(offset)) / double(step.ms)) * double(step.ms) -
            double(offset));
        for (std::int64_t t = first; double(t) <= toMs && ticks.size() < most; t += step.ms) {
            ticks.push_back({t, QDateTime::fromMSecsSinceEpoch(t).toString(format)});
        }
        return ticks;
    }
    const QString format = step.months < 12 ? QStringLiteral("MMM yyyy") : QStringLiteral("yyyy");
    const QDate start = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(fromMs)).date();
    // Months counted from January of year 0, so that the steps fall on round years.
    const int startMonth = start.year() * 12 + start.month() - 1;
    const int floorStart = startMonth - ((startMonth % step.months) + step.months) % step.months;
    // At most one tick lies before the range, so `most` + 1 candidates hold every tick in it.
    for (std::size_t k = 0; k <= most && ticks.size() < most; ++k) {
        const int month = floorStart + static_cast<int>(k) * step.months;
        const int year = month >= 0 ? month / 12 : -((11 - month) / 12);
        const QDate date(year, month - year * 12 + 1, 1);
        if (!date.isValid()) {
            continue; // there is no year 0
        }
        const qint64 t = QDateTime(date, QTime(0, 0)).toMSecsSinceEpoch();
        if (double(t) > toMs) {
            break;
        }
        if (double(t) >= fromMs) {
            ticks.push_back({t, QDateTime::fromMSecsSinceEpoch(t).toString(format)});
        }
    }
    return ticks;
}

const QColor GridColour(225, 225, 225);
const QColor FrameColour(150, 150, 150);
const QColor AlarmColour(220, 0, 0);
const QColor CursorColour(40, 40, 40);

// The y range of a pane: the values shown, with a little room above and below.
std::pair<double, double> paddedRange(double low, double high) {
    if (!(low <= high)) {
        return {0, 1};
    }
    if (high - low < 1e-9) {
        const double room = std::max(1.0, std::abs(high) * 0.05);
        return {low - room, high + room};
    }
    const double room = (high - low) * 0.06;
    return {low - room, high + room};
}

} // namespace

TrendChart::TrendChart(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAccessibleName(QStringLiteral("Trend chart"));
}

void TrendChart::setHistory(const TrendHistory* history) {
    m_history = history;
    update();
}

void TrendChart::setChannelShown(std::size_t channel, bool shown) {
    if (channel < ChannelCount && m_shown.test(channel) != shown) {
        m_shown.set(channel, shown);
        update();
    }
}

void TrendChart::setTimeRange(double fromMs, double toMs) {
    if (!std::isfinite(fromMs) || !std::isfinite(toMs)) {
        return;
    }
    const double width = std::clamp(toMs - fromMs, ShortestRangeMs, LongestRangeMs);
    const double middle =
        std::clamp(fromMs / 2 + toMs / 2, EarliestMs + width / 2, LatestMs - width / 2);
    fromMs = middle - width / 2;
    toMs = middle + width / 2;
    if (fromMs != m_fromMs || toMs != m_toMs) {
        m_fromMs = fromMs;
        m_toMs = toMs;
        update();
    }
}

double TrendChart::widestZoomMs() const {
    if (m_history == nullptr || m_history->empty()) {
        return WidestZoomFloorMs;
    }
    const double span = double(m_history->rows().back().ms - m_history->rows().front().ms);
    return std::clamp(span * 1.1, WidestZoomFloorMs, LongestRangeMs);
}

void TrendChart::setCursorMs(std::optional<std::int64_t> ms) {
    if (ms != m_cursorMs) {
        m_cursorMs = ms;
        update();
        emit cursorMoved();
    }
}

QRect TrendChart::plotRect() const {
    return QRect(LeftMargin, TopMargin, std::max(1, width() - LeftMargin - RightMargin),
                 std::max(1, height() - TopMargin - AxisHeight));
}

double TrendChart::xOfMs(double ms) const {
    const QRect plot = plotRect();
    return ScaleMap(m_fromMs, m_toMs, plot.left(), plot.left() + plot.width()).transform(ms);
}

double TrendChart::msOfX(double x) const {
    const QRect plot = plotRect();
    return ScaleMap(m_fromMs, m_toMs, plot.left(), plot.left() + plot.width()).invTransform(x);
}

struct TrendChart::Layout {
    ChannelColumns columns;
    std::vector<Pane> panes;
};

TrendChart::Layout TrendChart::layout() const {
    Layout result;
    const QRect plot = plotRect();
    if (m_history != nullptr) {
        result.columns = reduceChannels(m_history->rows(), m_shown, m_fromMs, m_toMs, plot.width());
    }
    std::array<double, UnitCount> low;
    std::array<double, UnitCount> high;
    low.fill(HUGE_VAL);
    high.fill(-HUGE_VAL);
    std::array<bool, UnitCount> used{};
    for (std::size_t c = 0; c < ChannelCount; ++c) {
        if (!m_shown.test(c)) {
            continue;
        }
        const auto u = static_cast<std::size_t>(channelInfo(c).unit);
        used[u] = true;
        for (const ColumnExtent& column : result.columns[c]) {
            if (column.any) {
                low[u] = std::min(low[u], double(column.min));
                high[u] = std::max(high[u], double(column.max));
            }
        }
    }
    const int count = static_cast<int>(std::count(used.begin(), used.end(), true));
    if (count == 0) {
        return result;
    }
    const int paneHeight =
        static_cast<int>((plot.height() - PaneGap * (count - 1)) / static_cast<double>(count));
    int top = plot.top();
    for (std::size_t u = 0; u < UnitCount; ++u) {
        if (!used[u]) {
            continue;
        }
        const auto [minimum, maximum] = paddedRange(low[u], high[u]);
        result.panes.push_back({static_cast<TrendUnit>(u),
                                QRect(plot.left(), top, plot.width(), std::max(1, paneHeight)),
                                minimum, maximum});
        top += paneHeight + PaneGap;
    }
    return result;
}

std::vector<TrendChart::Pane> TrendChart::panes() const {
    return layout().panes;
}

void TrendChart::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    paintChart(painter);
}

void TrendChart::paintChart(QPainter& painter) const {
    painter.fillRect(rect(), palette().window());
    const QRect plot = plotRect();
    painter.fillRect(plot, palette().base());
    const Layout shown = layout();
    if (m_history == nullptr || m_history->empty()) {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(plot, Qt::AlignCenter,
                         QStringLiteral("No samples yet: open the port and show the RealTimeData "
                                        "page, or open a test log."));
    }
    for (const Pane& pane : shown.panes) {
        paintPane(painter, pane, shown);
    }
    paintTimeAxis(painter, plot);
    if (m_cursorMs) {
        const double x = xOfMs(double(*m_cursorMs));
        painter.setPen(QPen(CursorColour, 1, Qt::DashLine));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
    }
}

void TrendChart::paintPane(QPainter& painter, const Pane& pane, const Layout& layout) const {
    const QRect& r = pane.rect;
    const ScaleMap y(pane.minimum, pane.maximum, r.bottom(), r.top());
    const ScaleDiv div =
        ScaleDiv::divideRound(pane.minimum, pane.maximum, std::max(2, r.height() / 32), 0);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor text = palette().color(QPalette::WindowText);
    for (const double tick : div.majorTicks()) {
        const double py = y.transform(tick);
        if (py < r.top() - 0.5 || py > r.bottom() + 0.5) {
            continue;
        }
        painter.setPen(GridColour);
        painter.drawLine(QPointF(r.left(), py), QPointF(r.right(), py));
        painter.setPen(text);
        painter.drawText(QRectF(0, py - 8, LeftMargin - 6, 16), Qt::AlignRight | Qt::AlignVCenter,
                         div.label(tick));
    }
    painter.save();
    painter.translate(12, r.center().y());
    painter.rotate(-90);
    painter.setPen(text);
    painter.drawText(QRectF(-r.height() / 2.0, -10, r.height(), 14), Qt::AlignCenter,
                     unitText(pane.unit));
    painter.restore();

    if (m_history != nullptr) {
        painter.setClipRect(r.adjusted(0, -1, 1, 1));
        const double left = r.left();
        for (std::size_t c = 0; c < ChannelCount; ++c) {
            if (!m_shown.test(c) || channelInfo(c).unit != pane.unit) {
                continue;
            }
            // A thin pen keeps the fast line drawing: a wider one is stroked as a path, which
            // costs seconds for thousands of vertical strokes.
            QPen pen(QColor(channelInfo(c).colour), 1);
            pen.setCosmetic(true);
            painter.setPen(pen);
            const auto& columns = layout.columns[c];
            QPolygonF run;
            run.reserve(static_cast<qsizetype>(columns.size() * 4));
            const auto flush = [&] {
                if (run.size() == 1) {
                    painter.drawPoint(run.front());
                } else if (run.size() > 1) {
                    painter.drawPolyline(run);
                }
                run.clear();
            };
            for (std::size_t i = 0; i < columns.size(); ++i) {
                const ColumnExtent& col = columns[i];
                if (!col.any) {
                    continue;
                }
                if (col.breakBefore) {
                    flush();
                }
                const double x = left + double(i) + 0.5;
                run.append(QPointF(x, y.transform(col.first)));
                if (col.min != col.max) {
                    run.append(QPointF(x, y.transform(col.min)));
                    run.append(QPointF(x, y.transform(col.max)));
                }
                if (col.last != col.first || col.min != col.max) {
                    run.append(QPointF(x, y.transform(col.last)));
                }
            }
            flush();
            if (m_cursorMs) {
                if (const auto value = m_history->valueAt(c, *m_cursorMs)) {
                    painter.setBrush(QColor(channelInfo(c).colour));
                    painter.drawEllipse(QPointF(xOfMs(double(*m_cursorMs)), y.transform(*value)), 3,
                                        3);
                    painter.setBrush(Qt::NoBrush);
                }
            }
        }
        painter.setClipping(false);
    }
    painter.setPen(FrameColour);
    painter.drawRect(r.adjusted(0, 0, -1, -1));
}

void TrendChart::paintTimeAxis(QPainter& painter, const QRect& plot) const {
    const int axisTop = plot.bottom() + 1;
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QColor text = palette().color(QPalette::WindowText);
    for (const TimeTick& tick :
         timeTicks(m_fromMs, m_toMs, std::max(1, plot.width() / LabelSpacing))) {
        const double x = xOfMs(double(tick.ms));
        painter.setPen(GridColour);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(text);
        painter.drawLine(QPointF(x, axisTop), QPointF(x, axisTop + 4));
        painter.drawText(QRectF(x - 50, axisTop + 4, 100, AxisHeight - 5), Qt::AlignCenter,
                         tick.label);
    }
    if (m_history == nullptr) {
        return;
    }
    // Alarm rises: a red mark on the axis and a faint line up through the panes.
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const AlarmRise& rise : m_history->alarmRises()) {
        if (double(rise.ms) < m_fromMs || double(rise.ms) > m_toMs) {
            continue;
        }
        const double x = xOfMs(double(rise.ms));
        painter.setPen(QPen(QColor(220, 0, 0, 70), 1, Qt::DotLine));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(Qt::NoPen);
        painter.setBrush(AlarmColour);
        const QPointF mark[3] = {
            {x, double(axisTop)}, {x - 4, axisTop + 7.0}, {x + 4, axisTop + 7.0}};
        painter.drawPolygon(mark, 3);
        painter.setBrush(Qt::NoBrush);
    }
}

void TrendChart::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0 || m_history == nullptr) {
        event->ignore();
        return;
    }
    const double anchor = msOfX(event->position().x());
    const double factor = std::pow(0.8, steps); // up zooms in
    const double width = m_toMs - m_fromMs;
    const double widest = widestZoomMs();
    if (factor > 1 && width * factor > widest) {
        // Zooming out ends at the whole history with a little room: further out there is
        // nothing more to see. A view already wider (a silent line followed) stays as it is.
        if (width < widest) {
            const auto rows = m_history->rows();
            const double middle =
                rows.empty() ? anchor : double(rows.front().ms) / 2 + double(rows.back().ms) / 2;
            setTimeRange(middle - widest / 2, middle + widest / 2);
        }
    } else {
        setTimeRange(anchor - (anchor - m_fromMs) * factor, anchor + (m_toMs - anchor) * factor);
    }
    emit viewChangedByUser();
    event->accept();
}

void TrendChart::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_dragX = qRound(event->position().x());
        m_dragFromMs = m_fromMs;
        m_dragToMs = m_toMs;
        setCursor(Qt::ClosedHandCursor);
    }
}

void TrendChart::mouseMoveEvent(QMouseEvent* event) {
    const double x = event->position().x();
    if (m_dragX && (event->buttons() & Qt::LeftButton) != 0) {
        const double msPerPixel = (m_dragToMs - m_dragFromMs) / plotRect().width();
        const double shift = (x - *m_dragX) * msPerPixel;
        if (shift != 0) {
            setTimeRange(m_dragFromMs - shift, m_dragToMs - shift);
            emit viewChangedByUser();
        }
    }
    const QRect plot = plotRect();
    if (x >= plot.left() && x <= plot.right()) {
        setCursorMs(static_cast<std::int64_t>(std::llround(msOfX(x))));
    } else {
        setCursorMs(std::nullopt);
    }
}

void TrendChart::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_dragX.reset();
        unsetCursor();
    }
}

void TrendChart::leaveEvent(QEvent* /*event*/) {
    if (!m_dragX) {
        setCursorMs(std::nullopt);
    }
}

} // namespace climate::trend

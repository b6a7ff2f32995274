#include "XYPlot.h"

#include "InstrumentAccessibility.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace climate::widgets {

namespace {

// The look of the plot, in pixels: an outer margin round everything, the legend row on top, the
// axis titles outside the tick labels, and room at the right for the last x label.
constexpr double OuterMargin = 13.0;
constexpr double LegendPadding = 13.3; // above and below the legend's text
constexpr double LegendToPlot = 10.0;
constexpr double MarkerSize = 9.0;
constexpr double MarkerToText = 5.0;
constexpr double LegendItemGap = 9.0; // after each item's text
constexpr double LegendRowEnd = 10.0; // kept free at the row's end
constexpr double MajorTick = 5.0;
constexpr double MinorTick = 2.5;
constexpr double LabelToTick = 1.0;   // y labels end this far before their ticks
constexpr double TitleInset = 2.4;    // y title's distance from the margin
constexpr double TitleToLabels = 6.2; // y title to the widest y label
constexpr double LabelsToTitle = 5.5; // x labels to the x title
constexpr double BelowTitle = 3.75;   // x title to the margin
constexpr double RightRoom = 9.7;     // beyond the margin, for the last x label
constexpr int MaxMajorIntervals = 8;

const QColor AxisLineColour(40, 40, 40);
const QColor MajorGridColour(0, 0, 0, 70);
const QColor MinorGridColour(0, 0, 0, 28);
const QColor LegendTextColour(64, 64, 68);
const QColor TickLabelColour(Qt::black);

QFont titleFontOf(const QFont& font) {
    QFont bold = font;
    bold.setBold(true);
    return bold;
}

} // namespace

XYPlot::XYPlot(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (int i = 0; i < ChannelCount; ++i) {
        setChannel(i, QStringLiteral("Channel %1").arg(i),
                   i == 0 ? QColor(Qt::red) : QColor(Qt::yellow), 2);
    }
}

void XYPlot::setChannel(int index, const QString& name, const QColor& color, int penWidth) {
    if (!isChannel(index)) {
        return;
    }
    Channel& channel = m_channels[index];
    channel.name = name;
    QPen pen(color, std::max(1, penWidth));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    channel.pen = pen;
    update();
    channelEdited(index);
}

QString XYPlot::channelName(int index) const {
    return isChannel(index) ? m_channels[index].name : QString();
}

QColor XYPlot::channelColor(int index) const {
    return isChannel(index) ? m_channels[index].pen.color() : QColor();
}

int XYPlot::channelPenWidth(int index) const {
    return isChannel(index) ? m_channels[index].pen.width() : 0;
}

void XYPlot::clearChannel(int channel) {
    if (!isChannel(channel)) {
        return;
    }
    m_channels[channel].points.clear();
    update();
    channelEdited(channel);
}

void XYPlot::addPoint(int channel, double x, double y) {
    if (!isChannel(channel) || !std::isfinite(x) || !std::isfinite(y)) {
        return;
    }
    m_channels[channel].points.append(QPointF(x, y));
    update();
    channelEdited(channel);
}

void XYPlot::setPoints(int channel, const QList<QPointF>& points) {
    if (!isChannel(channel)) {
        return;
    }
    QList<QPointF> kept;
    kept.reserve(points.size());
    for (const QPointF& point : points) {
        if (std::isfinite(point.x()) && std::isfinite(point.y())) {
            kept.append(point);
        }
    }
    m_channels[channel].points = kept;
    update();
    channelEdited(channel);
}

int XYPlot::pointCount(int channel) const {
    return isChannel(channel) ? static_cast<int>(m_channels[channel].points.size()) : 0;
}

QList<QPointF> XYPlot::points(int channel) const {
    return isChannel(channel) ? m_channels[channel].points : QList<QPointF>();
}

void XYPlot::setChannelLayer(int channel, int layer) {
    if (!isChannel(channel) || m_channels[channel].layer == layer) {
        return;
    }
    m_channels[channel].layer = layer;
    update();
}

int XYPlot::channelLayer(int channel) const {
    return isChannel(channel) ? m_channels[channel].layer : 0;
}

void XYPlot::setXAxis(const QString& title, double min, double span) {
    setAxis(m_x, title, min, span);
    update();
}

void XYPlot::setYAxis(const QString& title, double min, double span) {
    setAxis(m_y, title, min, span);
    update();
}

void XYPlot::setAxis(Axis& axis, const QString& title, double min, double span) {
    if (!std::isfinite(min) || !std::isfinite(span) || span == 0.0) {
        return;
    }
    axis.title = title;
    axis.minimum = std::min(min, min + span);
    axis.maximum = std::max(min, min + span);
    // Ticks at round values (0, 20, 40 ... rather than the range split in equal fifths), one
    // minor tick between two majors.
    axis.div = ScaleDiv::divideRound(axis.minimum, axis.maximum, MaxMajorIntervals, 1);
}

void XYPlot::setLegendVisible(bool visible) {
    if (m_legendVisible != visible) {
        m_legendVisible = visible;
        update();
    }
}

void XYPlot::setBackgroundColor(const QColor& color) {
    if (!color.isValid() || color == m_backgroundColor) {
        return;
    }
    m_backgroundColor = color;
    update();
}

QRectF XYPlot::plotArea() const {
    const QFontMetricsF labels(font());
    const QFontMetricsF titles(titleFontOf(font()));
    double top = OuterMargin;
    if (m_legendVisible) {
        top += labels.height() + 2 * LegendPadding + LegendToPlot;
    } else {
        top += labels.height() / 2; // room for half of the top y label
    }
    double widestLabel = 0.0;
    for (const double tick : m_y.div.majorTicks()) {
        widestLabel = std::max(widestLabel, labels.horizontalAdvance(m_y.div.label(tick)));
    }
    double left = OuterMargin + widestLabel + LabelToTick + MajorTick;
    if (!m_y.title.isEmpty()) {
        left += TitleInset + titles.height() + TitleToLabels;
    }
    double bottom = height() - OuterMargin - MajorTick - labels.height();
    if (!m_x.title.isEmpty()) {
        bottom -= LabelsToTitle + titles.height() + BelowTitle;
    }
    const double right = width() - OuterMargin - RightRoom;
    return QRectF(QPointF(left, top),
                  QPointF(std::max(left + 1, right), std::max(top + 1, bottom)));
}

ScaleMap XYPlot::xMap(const QRectF& area) const {
    return ScaleMap(m_x.minimum, m_x.maximum, area.left(), area.right());
}

ScaleMap XYPlot::yMap(const QRectF& area) const {
    return ScaleMap(m_y.minimum, m_y.maximum, area.bottom(), area.top());
}

QPointF XYPlot::mapToWidget(int channel, const QPointF& point) const {
    if (!isChannel(channel)) {
        return {};
    }
    const QRectF area = plotArea();
    return {xMap(area).transform(point.x()), yMap(area).transform(point.y())};
}

QSize XYPlot::sizeHint() const {
    return {633, 409};
}

QSize XYPlot::minimumSizeHint() const {
    return {200, 150};
}

void XYPlot::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), m_backgroundColor);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = plotArea();
    paintGrid(painter, area);
    paintAxes(painter, area);
    paintChannels(painter, area);
    if (m_legendVisible) {
        paintLegend(painter);
    }
}

void XYPlot::paintGrid(QPainter& painter, const QRectF& area) const {
    const ScaleMap x = xMap(area);
    const ScaleMap y = yMap(area);
    const auto lines = [&](const QList<double>& xs, const QList<double>& ys, const QColor& ink) {
        painter.setPen(QPen(ink, 1));
        for (const double v : xs) {
            painter.drawLine(QPointF(x.transform(v), area.top()),
                             QPointF(x.transform(v), area.bottom()));
        }
        for (const double v : ys) {
            painter.drawLine(QPointF(area.left(), y.transform(v)),
                             QPointF(area.right(), y.transform(v)));
        }
    };
    lines(m_x.div.minorTicks(), m_y.div.minorTicks(), MinorGridColour);
    lines(m_x.div.majorTicks(), m_y.div.majorTicks(), MajorGridColour);
}

void XYPlot::paintAxes(QPainter& painter, const QRectF& area) const {
    const ScaleMap x = xMap(area);
    const ScaleMap y = yMap(area);
    const QFont labelFont = font();
    const QFontMetricsF labels(labelFont);

    // The y axis line stands on the whole pixel left of the area's edge, as the x axis on its
    // bottom edge.
    const double axisX = std::floor(area.left());
    painter.setPen(QPen(AxisLineColour, 1));
    painter.drawLine(QPointF(axisX, area.top()), QPointF(axisX, area.bottom()));
    painter.drawLine(QPointF(area.left(), area.bottom()), QPointF(area.right(), area.bottom()));
    for (const double v : m_y.div.minorTicks()) {
        painter.drawLine(QPointF(area.left() - MinorTick, y.transform(v)),
                         QPointF(area.left(), y.transform(v)));
    }
    for (const double v : m_y.div.majorTicks()) {
        painter.drawLine(QPointF(area.left() - MajorTick, y.transform(v)),
                         QPointF(area.left(), y.transform(v)));
    }
    for (const double v : m_x.div.minorTicks()) {
        painter.drawLine(QPointF(x.transform(v), area.bottom()),
                         QPointF(x.transform(v), area.bottom() + MinorTick));
    }
    for (const double v : m_x.div.majorTicks()) {
        painter.drawLine(QPointF(x.transform(v), area.bottom()),
                         QPointF(x.transform(v), area.bottom() + MajorTick));
    }

    painter.setFont(labelFont);
    painter.setPen(TickLabelColour);
    const double labelRight = area.left() - MajorTick - LabelToTick;
    for (const double v : m_y.div.majorTicks()) {
        const QString text = m_y.div.label(v);
        const double baseline = y.transform(v) + labels.capHeight() / 2; // digits on the tick
        painter.drawText(QPointF(labelRight - labels.horizontalAdvance(text), baseline), text);
    }
    const double xLabelBaseline = area.bottom() + MajorTick + labels.ascent();
    for (const double v : m_x.div.majorTicks()) {
        const QString text = m_x.div.label(v);
        painter.drawText(
            QPointF(x.transform(v) - labels.horizontalAdvance(text) / 2, xLabelBaseline), text);
    }

    const QFont titleFont = titleFontOf(font());
    const QFontMetricsF titles(titleFont);
    painter.setFont(titleFont);
    if (!m_x.title.isEmpty()) {
        const double baseline =
            area.bottom() + MajorTick + labels.height() + LabelsToTitle + titles.ascent();
        painter.drawText(
            QPointF(area.center().x() - titles.horizontalAdvance(m_x.title) / 2, baseline),
            m_x.title);
    }
    if (!m_y.title.isEmpty()) {
        // Read from bottom to top, centred on the area.
        painter.save();
        painter.translate(OuterMargin + TitleInset + titles.ascent(), area.center().y());
        painter.rotate(-90);
        painter.drawText(QPointF(-titles.horizontalAdvance(m_y.title) / 2, 0), m_y.title);
        painter.restore();
    }
}

void XYPlot::paintChannels(QPainter& painter, const QRectF& area) const {
    const ScaleMap x = xMap(area);
    const ScaleMap y = yMap(area);
    // Lower layers first; on one layer, in channel order.
    std::array<int, ChannelCount> order{};
    for (int i = 0; i < ChannelCount; ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return m_channels[a].layer < m_channels[b].layer; });
    painter.save();
    painter.setClipRect(area.adjusted(-1, -1, 1, 1));
    for (const int i : order) {
        const Channel& channel = m_channels[i];
        QPolygonF line;
        line.reserve(channel.points.size());
        for (const QPointF& p : channel.points) {
            line.append(QPointF(x.transform(p.x()), y.transform(p.y())));
        }
        painter.setPen(channel.pen);
        if (line.size() == 1) {
            painter.drawPoint(line.front());
        } else if (line.size() > 1) {
            painter.drawPolyline(line);
        }
    }
    painter.restore();
}

void XYPlot::paintLegend(QPainter& painter) const {
    const QFontMetricsF metrics(font());
    double total = 0.0;
    for (const Channel& channel : m_channels) {
        total +=
            MarkerSize + MarkerToText + metrics.horizontalAdvance(channel.name) + LegendItemGap;
    }
    total += LegendRowEnd;
    // One row, centred; marker and text centred on the row's middle.
    double left = std::round((width() - total) / 2);
    const double middle = OuterMargin + LegendPadding + metrics.height() / 2;
    const double markerTop = std::round(middle) - std::floor(MarkerSize / 2); // a middle pixel row
    painter.setFont(font());
    for (const Channel& channel : m_channels) {
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(channel.pen.color());
        painter.drawRect(QRectF(left + 0.5, markerTop + 0.5, MarkerSize - 1, MarkerSize - 1));
        painter.setBrush(Qt::NoBrush);
        left += MarkerSize + MarkerToText;
        painter.setPen(LegendTextColour);
        painter.drawText(QPointF(left, middle - metrics.height() / 2 + metrics.ascent()),
                         channel.name);
        left += metrics.horizontalAdvance(channel.name) + LegendItemGap;
    }
}

void XYPlot::channelEdited(int channel) {
    notifyAccessibleDescription(this);
    emit channelChanged(channel);
}

} // namespace climate::widgets

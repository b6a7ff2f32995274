#include "XYPlot.h"

#include "InstrumentAccessibility.h"
#include "ScaleDiv.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsScene>
#include <QLegend>
#include <QLineSeries>
#include <QSet>
#include <QVBoxLayout>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace climate::widgets {

XYPlot::XYPlot(QWidget* parent) : QWidget(parent) {
    m_chart = new QChart;
    m_chart->setAnimationOptions(QChart::NoAnimation);
    m_chart->setBackgroundRoundness(0.0);
    m_chart->setMargins(QMargins(4, 4, 4, 4));
    m_chart->setDropShadowEnabled(false);
    m_chart->legend()->setAlignment(Qt::AlignTop);
    m_chart->legend()->setVisible(true);

    // The view owns the chart from here on.
    m_view = new QChartView(m_chart, this);
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    m_axisX = new QValueAxis;
    m_axisY = new QValueAxis;
    for (QValueAxis* axis : {m_axisX, m_axisY}) {
        axis->setLabelsColor(Qt::black);
        axis->setTitleBrush(QBrush(Qt::black));
        axis->setLinePenColor(QColor(40, 40, 40));
        axis->setGridLineColor(QColor(0, 0, 0, 70));
        axis->setMinorGridLineColor(QColor(0, 0, 0, 28));
        axis->setMinorTickCount(1);
    }
    m_chart->addAxis(m_axisX, Qt::AlignBottom);
    m_chart->addAxis(m_axisY, Qt::AlignLeft);
    setAxis(m_axisX, QString(), 0.0, 100.0);
    setAxis(m_axisY, QString(), 0.0, 100.0);

    QGraphicsScene* scene = m_chart->scene();
    for (int i = 0; i < ChannelCount; ++i) {
        auto* series = new QLineSeries;
        series->setName(QStringLiteral("Channel %1").arg(i));
        const QList<QGraphicsItem*> existing = scene ? scene->items() : QList<QGraphicsItem*>();
        const QSet<QGraphicsItem*> before(existing.cbegin(), existing.cend());
        m_chart->addSeries(series);
        // The series' drawing item is the one new child of the chart; the legend's new marker
        // items hang below the legend.
        const QList<QGraphicsItem*> now = scene ? scene->items() : QList<QGraphicsItem*>();
        QList<QGraphicsItem*> added;
        for (QGraphicsItem* item : now) {
            if (!before.contains(item) && item->parentItem() == m_chart)
                added.append(item);
        }
        if (added.size() == 1 && added.front()->toGraphicsObject()) {
            m_seriesItems[i] = added.front()->toGraphicsObject();
            m_baseZ[i] = added.front()->zValue();
        }
        series->attachAxis(m_axisX);
        series->attachAxis(m_axisY);
        m_series[i] = series;
        setChannel(i, series->name(), i == 0 ? QColor(Qt::red) : QColor(Qt::yellow), 2);
    }
    setBackgroundColor(m_backgroundColor);
}

void XYPlot::setChannel(int index, const QString& name, const QColor& color, int penWidth) {
    if (!isChannel(index))
        return;
    QLineSeries* series = m_series[index];
    series->setName(name);
    QPen pen(color, std::max(1, penWidth));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    series->setPen(pen);
    channelEdited(index);
}

QString XYPlot::channelName(int index) const {
    return isChannel(index) ? m_series[index]->name() : QString();
}

QColor XYPlot::channelColor(int index) const {
    return isChannel(index) ? m_series[index]->pen().color() : QColor();
}

int XYPlot::channelPenWidth(int index) const {
    return isChannel(index) ? m_series[index]->pen().width() : 0;
}

void XYPlot::clearChannel(int channel) {
    if (!isChannel(channel))
        return;
    m_series[channel]->clear();
    channelEdited(channel);
}

void XYPlot::addPoint(int channel, double x, double y) {
    if (!isChannel(channel) || !std::isfinite(x) || !std::isfinite(y))
        return;
    m_series[channel]->append(x, y);
    channelEdited(channel);
}

void XYPlot::setPoints(int channel, const QList<QPointF>& points) {
    if (!isChannel(channel))
        return;
    QList<QPointF> kept;
    kept.reserve(points.size());
    for (const QPointF& point : points) {
        if (std::isfinite(point.x()) && std::isfinite(point.y()))
            kept.append(point);
    }
    m_series[channel]->replace(kept);
    channelEdited(channel);
}

int XYPlot::pointCount(int channel) const {
    return isChannel(channel) ? static_cast<int>(m_series[channel]->count()) : 0;
}

QList<QPointF> XYPlot::points(int channel) const {
    return isChannel(channel) ? m_series[channel]->points() : QList<QPointF>();
}

void XYPlot::setChannelLayer(int channel, int layer) {
    if (!isChannel(channel) || m_layers[channel] == layer)
        return;
    m_layers[channel] = layer;
    applyLayers();
}

int XYPlot::channelLayer(int channel) const {
    return isChannel(channel) ? m_layers[channel] : 0;
}

void XYPlot::applyLayers() {
    for (int i = 0; i < ChannelCount; ++i) {
        if (m_seriesItems[i])
            m_seriesItems[i]->setZValue(m_baseZ[i] + m_layers[i] * 0.001);
    }
}

void XYPlot::setXAxis(const QString& title, double min, double span) {
    setAxis(m_axisX, title, min, span);
}

void XYPlot::setYAxis(const QString& title, double min, double span) {
    setAxis(m_axisY, title, min, span);
}

void XYPlot::setAxis(QValueAxis* axis, const QString& title, double min, double span) {
    if (!std::isfinite(min) || !std::isfinite(span) || span == 0.0)
        return;
    const double max = min + span;
    axis->setTitleText(title);
    axis->setRange(std::min(min, max), std::max(min, max));
    // Ticks at round values (0, 20, 40 ... rather than the range split in equal fifths).
    const ScaleDiv div = ScaleDiv::divideRound(min, max, 8, 0);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0.0);
    axis->setTickInterval(ScaleDiv::roundStep(span, 8));
    axis->setLabelFormat(QStringLiteral("%.%1f").arg(div.labelDecimals()));
}

void XYPlot::setLegendVisible(bool visible) {
    m_chart->legend()->setVisible(visible);
}

bool XYPlot::isLegendVisible() const {
    return m_chart->legend()->isVisible();
}

void XYPlot::setBackgroundColor(const QColor& color) {
    if (!color.isValid())
        return;
    m_backgroundColor = color;
    m_chart->setBackgroundBrush(color);
    m_chart->setPlotAreaBackgroundVisible(false);
    m_view->setBackgroundBrush(color);
}

QPointF XYPlot::mapToWidget(int channel, const QPointF& point) const {
    if (!isChannel(channel))
        return {};
    const QPointF inChart = m_chart->mapToPosition(point, m_series[channel]);
    const QPoint inViewport = m_view->mapFromScene(m_chart->mapToScene(inChart));
    return m_view->viewport()->mapTo(this, inViewport);
}

QSize XYPlot::sizeHint() const {
    return {633, 409};
}

QSize XYPlot::minimumSizeHint() const {
    return {200, 150};
}

void XYPlot::channelEdited(int channel) {
    notifyAccessibleDescription(this);
    emit channelChanged(channel);
}

} // namespace climate::widgets

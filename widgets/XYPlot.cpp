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

XYPlot::XYPlot(QWidget* parent) : QWidget(parent) {
    chart_ = new QChart;
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->setBackgroundRoundness(0.0);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    chart_->setDropShadowEnabled(false);
    chart_->legend()->setAlignment(Qt::AlignTop);
    chart_->legend()->setVisible(true);

    // The view owns the chart from here on.
    view_ = new QChartView(chart_, this);
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setFrameShape(QFrame::NoFrame);
    view_->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);

    axisX_ = new QValueAxis;
    axisY_ = new QValueAxis;
    for (QValueAxis* axis : {axisX_, axisY_}) {
        axis->setLabelsColor(Qt::black);
        axis->setTitleBrush(QBrush(Qt::black));
        axis->setLinePenColor(QColor(40, 40, 40));
        axis->setGridLineColor(QColor(0, 0, 0, 70));
        axis->setMinorGridLineColor(QColor(0, 0, 0, 28));
        axis->setMinorTickCount(1);
    }
    chart_->addAxis(axisX_, Qt::AlignBottom);
    chart_->addAxis(axisY_, Qt::AlignLeft);
    setAxis(axisX_, QString(), 0.0, 100.0);
    setAxis(axisY_, QString(), 0.0, 100.0);

    QGraphicsScene* scene = chart_->scene();
    for (int i = 0; i < kChannelCount; ++i) {
        auto* series = new QLineSeries;
        series->setName(QStringLiteral("Channel %1").arg(i));
        const QList<QGraphicsItem*> existing = scene ? scene->items() : QList<QGraphicsItem*>();
        const QSet<QGraphicsItem*> before(existing.cbegin(), existing.cend());
        chart_->addSeries(series);
        // The series' drawing item is the one new child of the chart; the legend's new marker
        // items hang below the legend.
        const QList<QGraphicsItem*> now = scene ? scene->items() : QList<QGraphicsItem*>();
        QList<QGraphicsItem*> added;
        for (QGraphicsItem* item : now) {
            if (!before.contains(item) && item->parentItem() == chart_)
                added.append(item);
        }
        if (added.size() == 1 && added.front()->toGraphicsObject()) {
            seriesItems_[i] = added.front()->toGraphicsObject();
            baseZ_[i] = added.front()->zValue();
        }
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
        series_[i] = series;
        setChannel(i, series->name(), i == 0 ? QColor(Qt::red) : QColor(Qt::yellow), 2);
    }
    setBackgroundColor(backgroundColor_);
}

void XYPlot::setChannel(int index, const QString& name, const QColor& color, int penWidth) {
    if (!isChannel(index))
        return;
    QLineSeries* series = series_[index];
    series->setName(name);
    QPen pen(color, std::max(1, penWidth));
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    series->setPen(pen);
    channelEdited(index);
}

QString XYPlot::channelName(int index) const {
    return isChannel(index) ? series_[index]->name() : QString();
}

QColor XYPlot::channelColor(int index) const {
    return isChannel(index) ? series_[index]->pen().color() : QColor();
}

int XYPlot::channelPenWidth(int index) const {
    return isChannel(index) ? series_[index]->pen().width() : 0;
}

void XYPlot::clearChannel(int channel) {
    if (!isChannel(channel))
        return;
    series_[channel]->clear();
    channelEdited(channel);
}

void XYPlot::addPoint(int channel, double x, double y) {
    if (!isChannel(channel) || !std::isfinite(x) || !std::isfinite(y))
        return;
    series_[channel]->append(x, y);
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
    series_[channel]->replace(kept);
    channelEdited(channel);
}

int XYPlot::pointCount(int channel) const {
    return isChannel(channel) ? static_cast<int>(series_[channel]->count()) : 0;
}

QList<QPointF> XYPlot::points(int channel) const {
    return isChannel(channel) ? series_[channel]->points() : QList<QPointF>();
}

void XYPlot::setChannelLayer(int channel, int layer) {
    if (!isChannel(channel) || layers_[channel] == layer)
        return;
    layers_[channel] = layer;
    applyLayers();
}

int XYPlot::channelLayer(int channel) const {
    return isChannel(channel) ? layers_[channel] : 0;
}

void XYPlot::applyLayers() {
    for (int i = 0; i < kChannelCount; ++i) {
        if (seriesItems_[i])
            seriesItems_[i]->setZValue(baseZ_[i] + layers_[i] * 0.001);
    }
}

void XYPlot::setXAxis(const QString& title, double min, double span) {
    setAxis(axisX_, title, min, span);
}

void XYPlot::setYAxis(const QString& title, double min, double span) {
    setAxis(axisY_, title, min, span);
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
    chart_->legend()->setVisible(visible);
}

bool XYPlot::isLegendVisible() const {
    return chart_->legend()->isVisible();
}

void XYPlot::setBackgroundColor(const QColor& color) {
    if (!color.isValid())
        return;
    backgroundColor_ = color;
    chart_->setBackgroundBrush(color);
    chart_->setPlotAreaBackgroundVisible(false);
    view_->setBackgroundBrush(color);
}

QPointF XYPlot::mapToWidget(int channel, const QPointF& point) const {
    if (!isChannel(channel))
        return {};
    const QPointF inChart = chart_->mapToPosition(point, series_[channel]);
    const QPoint inViewport = view_->mapFromScene(chart_->mapToScene(inChart));
    return view_->viewport()->mapTo(this, inViewport);
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

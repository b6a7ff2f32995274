#pragma once

#include "ScaleDiv.h"
#include "ScaleMap.h"

#include <QColor>
#include <QList>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <array>

namespace climate::widgets {

// An XY line plot of two channels (0 and 1) over value axes, with a legend. Each channel is one
// polyline: points join in the order they are added, so callers draw arrowheads as extra points.
// A channel on a higher layer is drawn over one on a lower layer; on the same layer channel 1 is
// drawn over channel 0.
class XYPlot : public QWidget {
    Q_OBJECT

public:
    static constexpr int ChannelCount = 2;

    explicit XYPlot(QWidget* parent = nullptr);

    [[nodiscard]] int channelCount() const { return ChannelCount; }
    // Calls with a channel index outside 0..1 do nothing (getters return empty values).
    void setChannel(int index, const QString& name, const QColor& color, int penWidth);
    [[nodiscard]] QString channelName(int index) const;
    [[nodiscard]] QColor channelColor(int index) const;
    [[nodiscard]] int channelPenWidth(int index) const;

    void clearChannel(int channel);
    void addPoint(int channel, double x, double y);
    // Replaces the channel's points at once (points with a coordinate that is not finite are
    // left out), with one change notification.
    void setPoints(int channel, const QList<QPointF>& points);
    [[nodiscard]] int pointCount(int channel) const;
    [[nodiscard]] QList<QPointF> points(int channel) const;

    void setChannelLayer(int channel, int layer);
    [[nodiscard]] int channelLayer(int channel) const;

    // Axis from `min` spanning `span` (to min + span); ticks at round steps. A span of zero or
    // a value that is not finite leaves the axis as it was.
    void setXAxis(const QString& title, double min, double span);
    void setYAxis(const QString& title, double min, double span);
    [[nodiscard]] QString xAxisTitle() const { return m_x.title; }
    [[nodiscard]] QString yAxisTitle() const { return m_y.title; }
    // The axes' ranges as (minimum, maximum) points: x() is the minimum, y() the maximum.
    [[nodiscard]] QPointF xAxisRange() const { return {m_x.minimum, m_x.maximum}; }
    [[nodiscard]] QPointF yAxisRange() const { return {m_y.minimum, m_y.maximum}; }

    void setLegendVisible(bool visible);
    [[nodiscard]] bool isLegendVisible() const { return m_legendVisible; }
    void setBackgroundColor(const QColor& color);
    [[nodiscard]] QColor backgroundColor() const { return m_backgroundColor; }

    // Where a data point lands in this widget's coordinates.
    [[nodiscard]] QPointF mapToWidget(int channel, const QPointF& point) const;
    // The area the channels are drawn in, inside the axes.
    [[nodiscard]] QRectF plotArea() const;

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

signals:
    // A channel's points or name changed.
    void channelChanged(int channel);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Axis {
        QString title;
        double minimum = 0.0;
        double maximum = 100.0;
        ScaleDiv div = ScaleDiv::divideRound(0.0, 100.0, 8, 1);
    };
    struct Channel {
        QString name;
        QPen pen;
        QList<QPointF> points;
        int layer = 0;
    };

    [[nodiscard]] bool isChannel(int index) const { return index >= 0 && index < ChannelCount; }
    static void setAxis(Axis& axis, const QString& title, double min, double span);
    [[nodiscard]] ScaleMap xMap(const QRectF& area) const;
    [[nodiscard]] ScaleMap yMap(const QRectF& area) const;
    void paintGrid(QPainter& painter, const QRectF& area) const;
    void paintAxes(QPainter& painter, const QRectF& area) const;
    void paintChannels(QPainter& painter, const QRectF& area) const;
    void paintLegend(QPainter& painter) const;
    void channelEdited(int channel);

    Axis m_x;
    Axis m_y;
    std::array<Channel, ChannelCount> m_channels;
    bool m_legendVisible = true;
    QColor m_backgroundColor{192, 192, 192};
};

} // namespace climate::widgets

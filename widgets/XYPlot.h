#pragma once

#include <QColor>
#include <QGraphicsObject>
#include <QList>
#include <QPointF>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>

class QChart;
class QChartView;

class QLineSeries;
class QValueAxis;

namespace climate::widgets {

// An XY line plot of two channels (0 and 1) over value axes, with a legend. Each channel is one
// polyline: points join in the order they are added, so callers draw arrowheads as extra points.
// A channel on a higher layer is drawn over one on a lower layer.
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

    // Axis from `min` spanning `span` (to min + span); ticks at round steps.
    void setXAxis(const QString& title, double min, double span);
    void setYAxis(const QString& title, double min, double span);
    void setLegendVisible(bool visible);
    [[nodiscard]] bool isLegendVisible() const;
    void setBackgroundColor(const QColor& color);
    [[nodiscard]] QColor backgroundColor() const { return m_backgroundColor; }

    // Where a data point lands in this widget's coordinates.
    [[nodiscard]] QPointF mapToWidget(int channel, const QPointF& point) const;

    [[nodiscard]] QChartView* chartView() const { return m_view; }

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

signals:
    // A channel's points or name changed.
    void channelChanged(int channel);

private:
    [[nodiscard]] bool isChannel(int index) const { return index >= 0 && index < ChannelCount; }
    static void setAxis(QValueAxis* axis, const QString& title, double min, double span);
    void applyLayers();
    void channelEdited(int channel);

    QChartView* m_view = nullptr;
    QChart* m_chart = nullptr;
    QValueAxis* m_axisX = nullptr;
    QValueAxis* m_axisY = nullptr;
    std::array<QLineSeries*, ChannelCount> m_series{};
    // The scene item that draws each series: Qt Charts offers no z order per series, so the
    // plot finds the item a series brings into the scene and stacks that.
    // Guarded: the chart owns the items and may replace them.
    std::array<QPointer<QGraphicsObject>, ChannelCount> m_seriesItems{};
    std::array<double, ChannelCount> m_baseZ{};
    std::array<int, ChannelCount> m_layers{};
    QColor m_backgroundColor{192, 192, 192};
};

} // namespace climate::widgets

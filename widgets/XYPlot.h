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

// An XY line plot of two channels (0 and 1) over value axes, with a legend. Each channel is one
// polyline: points join in the order they are added, so callers draw arrowheads as extra points.
// A channel on a higher layer is drawn over one on a lower layer.
class XYPlot : public QWidget {
    Q_OBJECT

public:
    static constexpr int kChannelCount = 2;

    explicit XYPlot(QWidget* parent = nullptr);

    [[nodiscard]] int channelCount() const { return kChannelCount; }
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
    [[nodiscard]] QColor backgroundColor() const { return backgroundColor_; }

    // Where a data point lands in this widget's coordinates.
    [[nodiscard]] QPointF mapToWidget(int channel, const QPointF& point) const;

    [[nodiscard]] QChartView* chartView() const { return view_; }

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

signals:
    // A channel's points or name changed.
    void channelChanged(int channel);

private:
    [[nodiscard]] bool isChannel(int index) const { return index >= 0 && index < kChannelCount; }
    static void setAxis(QValueAxis* axis, const QString& title, double min, double span);
    void applyLayers();
    void channelEdited(int channel);

    QChartView* view_ = nullptr;
    QChart* chart_ = nullptr;
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    std::array<QLineSeries*, kChannelCount> series_{};
    // The scene item that draws each series: Qt Charts offers no z order per series, so the
    // plot finds the item a series brings into the scene and stacks that.
    // Guarded: the chart owns the items and may replace them.
    std::array<QPointer<QGraphicsObject>, kChannelCount> seriesItems_{};
    std::array<double, kChannelCount> baseZ_{};
    std::array<int, kChannelCount> layers_{};
    QColor backgroundColor_{192, 192, 192};
};

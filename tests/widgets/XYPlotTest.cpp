#include "XYPlot.h"
#include "ImageProbe.h"

#include <QAbstractAxis>
#include <QChart>
#include <QChartView>
#include <QSignalSpy>
#include <QValueAxis>

#include <gtest/gtest.h>

#include <limits>

using namespace climate::widgets;

namespace {

const QSize Size(633, 409);

// The fan curve plot as the Declaration page sets it up.
class FanCurvePlot : public ::testing::Test {
protected:
    FanCurvePlot() {
        plot.setXAxis(QStringLiteral("Temperature"), -45, 125);
        plot.setYAxis(QStringLiteral("FanRPM"), 0, 5500);
        plot.setChannel(0, QStringLiteral("Intfan"), QColor(Qt::red), 2);
        plot.setChannel(1, QStringLiteral("Extfan"), QColor(Qt::yellow), 2);
        plot.setBackgroundColor(QColor(192, 192, 192));
        plot.resize(Size);
    }
    XYPlot plot;
};

TEST_F(FanCurvePlot, ChannelsReadBack) {
    EXPECT_EQ(plot.channelCount(), 2);
    EXPECT_EQ(plot.channelName(0), QStringLiteral("Intfan"));
    EXPECT_EQ(plot.channelName(1), QStringLiteral("Extfan"));
    EXPECT_EQ(plot.channelColor(1), QColor(Qt::yellow));
    EXPECT_EQ(plot.channelPenWidth(0), 2);

    // Indices outside the two channels are ignored, not a crash.
    plot.setChannel(2, QStringLiteral("x"), Qt::blue, 1);
    plot.addPoint(-1, 0, 0);
    plot.clearChannel(7);
    EXPECT_TRUE(plot.channelName(2).isEmpty());
    EXPECT_EQ(plot.pointCount(2), 0);
    EXPECT_TRUE(plot.points(-1).isEmpty());
}

TEST_F(FanCurvePlot, PointsAddAndClearPerChannel) {
    plot.addPoint(0, -45, 0);
    plot.addPoint(0, 25, 1200);
    plot.addPoint(0, 45, 4200);
    plot.addPoint(1, 30, 0);
    plot.addPoint(1, std::numeric_limits<double>::quiet_NaN(), 10);
    EXPECT_EQ(plot.pointCount(0), 3);
    EXPECT_EQ(plot.points(0), (QList<QPointF>{{-45, 0}, {25, 1200}, {45, 4200}}));
    EXPECT_EQ(plot.pointCount(1), 1);

    plot.clearChannel(0);
    EXPECT_EQ(plot.pointCount(0), 0);
    EXPECT_EQ(plot.pointCount(1), 1);
    plot.addPoint(0, 80, 5000);
    EXPECT_EQ(plot.points(0), (QList<QPointF>{{80, 5000}}));
}

TEST_F(FanCurvePlot, SetPointsReplacesAChannelWithOneNotification) {
    plot.addPoint(0, 1, 1);
    plot.addPoint(1, 2, 2);
    QSignalSpy changed(&plot, &XYPlot::channelChanged);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    plot.setPoints(0, {{-45, 0}, {25, 1200}, {nan, 5}, {45, 4200}});
    EXPECT_EQ(plot.points(0), (QList<QPointF>{{-45, 0}, {25, 1200}, {45, 4200}}));
    EXPECT_EQ(plot.points(1), (QList<QPointF>{{2, 2}})) << "the other channel stays";
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 0);

    plot.setPoints(0, {});
    EXPECT_EQ(plot.pointCount(0), 0);
    plot.setPoints(5, {{1, 1}});
    EXPECT_EQ(changed.count(), 2) << "a channel outside 0..1 is ignored";
}

TEST_F(FanCurvePlot, AxesTakeTitleMinimumAndSpan) {
    QChart* chart = plot.chartView()->chart();
    auto* x = qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).value(0));
    auto* y = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
    ASSERT_NE(x, nullptr);
    ASSERT_NE(y, nullptr);
    EXPECT_EQ(x->titleText(), QStringLiteral("Temperature"));
    EXPECT_EQ(x->min(), -45.0);
    EXPECT_EQ(x->max(), 80.0);
    EXPECT_EQ(y->titleText(), QStringLiteral("FanRPM"));
    EXPECT_EQ(y->min(), 0.0);
    EXPECT_EQ(y->max(), 5500.0);
}

TEST_F(FanCurvePlot, BackgroundAndLegend) {
    EXPECT_TRUE(plot.isLegendVisible());
    plot.setLegendVisible(false);
    EXPECT_FALSE(plot.isLegendVisible());
    const QImage image = ImageProbe::grab(plot, Size);
    EXPECT_TRUE(ImageProbe::near(image.pixelColor(3, 3), QColor(192, 192, 192), 2));
}

TEST_F(FanCurvePlot, HigherLayerIsDrawnOnTop) {
    // Two wide traces crossing in the middle of the plot.
    plot.setLegendVisible(false);
    plot.setXAxis(QString(), 0, 100);
    plot.setYAxis(QString(), 0, 100);
    plot.setChannel(0, QStringLiteral("Intfan"), QColor(255, 0, 0), 12);
    plot.setChannel(1, QStringLiteral("Extfan"), QColor(0, 0, 255), 12);
    plot.addPoint(0, 0, 50);
    plot.addPoint(0, 100, 50);
    plot.addPoint(1, 50, 0);
    plot.addPoint(1, 50, 100);
    (void)ImageProbe::grab(plot, Size); // lays the chart out
    const QPoint crossing = plot.mapToWidget(0, QPointF(50, 50)).toPoint();
    ASSERT_TRUE(QRect(QPoint(0, 0), Size).contains(crossing));

    auto colourAtCrossing = [&] { return ImageProbe::grab(plot, Size).pixelColor(crossing); };
    plot.setChannelLayer(0, 1);
    plot.setChannelLayer(1, 0);
    EXPECT_EQ(plot.channelLayer(0), 1);
    EXPECT_TRUE(ImageProbe::near(colourAtCrossing(), QColor(255, 0, 0), 10));
    plot.setChannelLayer(1, 2);
    EXPECT_TRUE(ImageProbe::near(colourAtCrossing(), QColor(0, 0, 255), 10));
    plot.setChannelLayer(0, 3);
    EXPECT_TRUE(ImageProbe::near(colourAtCrossing(), QColor(255, 0, 0), 10));
}

} // namespace

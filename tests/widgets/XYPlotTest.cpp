#include "widgets/XYPlot.h"
#include "ImageProbe.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <utility>

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
    EXPECT_EQ(plot.xAxisTitle(), QStringLiteral("Temperature"));
    EXPECT_EQ(plot.xAxisRange(), QPointF(-45, 80));
    EXPECT_EQ(plot.yAxisTitle(), QStringLiteral("FanRPM"));
    EXPECT_EQ(plot.yAxisRange(), QPointF(0, 5500));

    // The ends of both ranges are the corners of the area the channels are drawn in.
    const QRectF area = plot.plotArea();
    EXPECT_EQ(plot.mapToWidget(0, QPointF(-45, 0)), area.bottomLeft());
    EXPECT_EQ(plot.mapToWidget(1, QPointF(80, 5500)), area.topRight());
    EXPECT_TRUE(QRectF(0, 0, Size.width(), Size.height()).contains(area));

    // A negative span counts down from the minimum; a span of zero or a value that is not
    // finite leaves the axis as it was.
    plot.setXAxis(QStringLiteral("T"), 80, -125);
    EXPECT_EQ(plot.xAxisRange(), QPointF(-45, 80));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::array<std::pair<double, double>, 3> refused{{{0.0, 0.0}, {nan, 10.0}, {0.0, nan}}};
    for (const auto& [min, span] : refused) {
        plot.setYAxis(QStringLiteral("other"), min, span);
        EXPECT_EQ(plot.yAxisTitle(), QStringLiteral("FanRPM")) << min << " " << span;
        EXPECT_EQ(plot.yAxisRange(), QPointF(0, 5500)) << min << " " << span;
    }
}

TEST_F(FanCurvePlot, ChannelsAreDrawnThroughTheirPointsInsideTheAxes) {
    plot.setLegendVisible(false);
    plot.setChannel(0, QStringLiteral("Intfan"), QColor(255, 0, 0), 4);
    plot.setChannel(1, QStringLiteral("Extfan"), QColor(0, 0, 255), 4);
    plot.setPoints(0, {{-45, 1000}, {20, 1000}, {40, 4000}});
    // Runs on past the right end of the x axis.
    plot.setPoints(1, {{-20, 5000}, {200, 5000}});
    const QImage image = ImageProbe::grab(plot, Size);
    const auto isRed = [](const QColor& c) { return ImageProbe::near(c, QColor(255, 0, 0), 40); };
    const auto isBlue = [](const QColor& c) { return ImageProbe::near(c, QColor(0, 0, 255), 40); };

    // On the points and halfway along each segment.
    for (const QPointF& p : {QPointF(-40, 1000), QPointF(20, 1000), QPointF(30, 2500)}) {
        EXPECT_TRUE(isRed(image.pixelColor(plot.mapToWidget(0, p).toPoint())))
            << p.x() << ", " << p.y();
    }
    EXPECT_TRUE(isBlue(image.pixelColor(plot.mapToWidget(1, QPointF(0, 5000)).toPoint())));
    // Nothing beyond the last point, and nothing outside the axes.
    EXPECT_FALSE(isRed(image.pixelColor(plot.mapToWidget(0, QPointF(60, 4000)).toPoint())));
    const QRect area = plot.plotArea().toAlignedRect();
    const QRect rightMargin(area.right() + 3, 0, Size.width() - area.right() - 3, Size.height());
    EXPECT_GT(ImageProbe::count(image, isBlue, area), 0);
    EXPECT_EQ(ImageProbe::count(image, isBlue, rightMargin), 0);
}

TEST_F(FanCurvePlot, GridLinesAtRoundValues) {
    plot.setLegendVisible(false);
    const QImage image = ImageProbe::grab(plot, Size);
    const QColor silver(192, 192, 192);
    // Major lines at 0 and 20 degrees and 2000 RPM, minor lines at 10 degrees and 500 RPM; none
    // at 5 degrees or 250 RPM.
    const auto column = [&](double x) {
        return image.pixelColor(qRound(plot.mapToWidget(0, QPointF(x, 2750)).x() - 0.5), 200);
    };
    const auto row = [&](double y) {
        return image.pixelColor(300, qRound(plot.mapToWidget(0, QPointF(0, y)).y() - 0.5));
    };
    const auto darker = [&](const QColor& c) { return ImageProbe::brightness(c); };
    const int background = ImageProbe::brightness(silver);
    for (const double x : {0.0, 20.0}) {
        EXPECT_LT(darker(column(x)), background - 10) << x;
    }
    EXPECT_LT(darker(column(10)), background - 3);
    EXPECT_GT(darker(column(10)), darker(column(20))) << "a minor line is lighter";
    EXPECT_EQ(column(5), silver);
    EXPECT_LT(darker(row(2000)), background - 10);
    EXPECT_EQ(row(250), silver);
}

TEST_F(FanCurvePlot, BackgroundAndLegend) {
    // The legend shows a marker in each channel's colour above the plot area.
    EXPECT_TRUE(plot.isLegendVisible());
    const auto isRed = [](const QColor& c) { return c == QColor(Qt::red); };
    const auto isYellow = [](const QColor& c) { return c == QColor(Qt::yellow); };
    QImage image = ImageProbe::grab(plot, Size);
    const QRect above(0, 0, Size.width(), static_cast<int>(plot.plotArea().top()));
    EXPECT_GE(ImageProbe::count(image, isRed, above), 25);
    EXPECT_GE(ImageProbe::count(image, isYellow, above), 25);
    EXPECT_LT(ImageProbe::centroid(image, isRed).x(), ImageProbe::centroid(image, isYellow).x())
        << "channel 0 first";

    plot.setLegendVisible(false);
    EXPECT_FALSE(plot.isLegendVisible());
    image = ImageProbe::grab(plot, Size);
    EXPECT_EQ(ImageProbe::count(image, isRed), 0);
    EXPECT_EQ(ImageProbe::count(image, isYellow), 0);
    EXPECT_TRUE(ImageProbe::near(image.pixelColor(3, 3), QColor(192, 192, 192), 2));
    plot.setBackgroundColor(QColor(10, 20, 30));
    EXPECT_EQ(ImageProbe::grab(plot, Size).pixelColor(3, 3), QColor(10, 20, 30));
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

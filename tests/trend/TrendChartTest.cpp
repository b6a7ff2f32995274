// The chart: one pane per unit shown, each scaled to its values; a lone peak among 24 hours of
// samples still reaches the top of its pane; a gap is drawn as nothing; wheel and drag move the
// time axis, and the axis writes a few labels whatever the range.
#include "trend/TrendChart.h"
#include "support/TextPaintRecorder.h"
#include "trend/TrendHistory.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <vector>

using namespace climate::trend;

namespace {

constexpr auto index(Channel c) {
    return static_cast<std::size_t>(c);
}

// `count` rows 1234 ms apart; `value(i)` for every channel (NaN: a gap row).
void fill(TrendHistory& history, int count, const std::function<float(int)>& value) {
    for (int i = 0; i < count; ++i) {
        TrendRow row = TrendRow::gap(std::int64_t{i} * 1234);
        const float v = value(i);
        if (!std::isnan(v)) {
            row.values.fill(v);
        }
        history.append(row);
    }
}

struct ChartRig {
    TrendHistory history;
    TrendChart chart;
    ChartRig(int width, int height) {
        chart.setHistory(&history);
        chart.resize(width, height);
    }
    void show(std::initializer_list<Channel> shown) {
        for (std::size_t c = 0; c < ChannelCount; ++c) {
            chart.setChannelShown(c, false);
        }
        for (const Channel c : shown) {
            chart.setChannelShown(index(c), true);
        }
    }
    QImage image() {
        QImage out(chart.size(), QImage::Format_RGB32);
        out.setDevicePixelRatio(1);
        chart.render(&out);
        return out;
    }
    // Pixels of `channel`'s colour in `area`.
    int colourPixels(const QImage& image, std::size_t channel, const QRect& area) {
        const QColor colour(channelInfo(channel).colour);
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor p = image.pixelColor(x, y);
                count += std::abs(p.red() - colour.red()) + std::abs(p.green() - colour.green()) +
                                     std::abs(p.blue() - colour.blue()) <
                                 60
                             ? 1
                             : 0;
            }
        }
        return count;
    }
};

TEST(TrendChart, OnePanePerUnitShownTopToBottom) {
    const struct {
        std::vector<Channel> shown;
        std::vector<TrendUnit> panes;
    } cases[] = {
        {{}, {}},
        {{Channel::Temperature1}, {TrendUnit::Celsius}},
        {{Channel::SupplyVoltage, Channel::Temperature2}, {TrendUnit::Celsius, TrendUnit::Volt}},
        {{Channel::InternalFan1, Channel::CompressorSpeed}, {TrendUnit::Rpm}},
        {{Channel::HeaterCurrent, Channel::SupplyVoltage, Channel::Temperature3,
          Channel::ExternalFan2},
         {TrendUnit::Celsius, TrendUnit::Rpm, TrendUnit::Ampere, TrendUnit::Volt}},
    };
    ChartRig rig(900, 600);
    fill(rig.history, 10, [](int i) { return float(i); });
    rig.chart.setTimeRange(0, 12340);
    for (const auto& c : cases) {
        for (std::size_t k = 0; k < ChannelCount; ++k) {
            rig.chart.setChannelShown(k, false);
        }
        for (const Channel ch : c.shown) {
            rig.chart.setChannelShown(index(ch), true);
        }
        const auto panes = rig.chart.panes();
        ASSERT_EQ(panes.size(), c.panes.size());
        int previousBottom = -1;
        for (std::size_t p = 0; p < panes.size(); ++p) {
            EXPECT_EQ(panes[p].unit, c.panes[p]);
            EXPECT_GT(panes[p].rect.top(), previousBottom) << "stacked, not overlapping";
            EXPECT_EQ(panes[p].rect.left(), rig.chart.plotRect().left()) << "one time axis";
            EXPECT_EQ(panes[p].rect.width(), rig.chart.plotRect().width());
            previousBottom = panes[p].rect.bottom();
        }
    }
}

// Each pane is scaled to the values it shows in view: the range holds them with little room.
TEST(TrendChart, EachPaneIsScaledToWhatItShows) {
    ChartRig rig(900, 600);
    for (int i = 0; i < 100; ++i) {
        TrendRow row = TrendRow::gap(std::int64_t{i} * 1000);
        row.values[index(Channel::Temperature1)] = 20.0f + float(i) * 0.1f; // 20 ... 29.9
        row.values[index(Channel::InternalFan1)] = 1000.0f + float(i);      // 1000 ... 1099
        rig.history.append(row);
    }
    rig.show({Channel::Temperature1, Channel::InternalFan1});
    rig.chart.setTimeRange(0, 50000); // the first half: 20 ... 24.9 and 1000 ... 1049
    const auto panes = rig.chart.panes();
    ASSERT_EQ(panes.size(), 2u);
    EXPECT_LE(panes[0].minimum, 20.0);
    EXPECT_GE(panes[0].maximum, 24.9f);
    EXPECT_GT(panes[0].minimum, 19.0);
    EXPECT_LT(panes[0].maximum, 26.0) << "values out of view do not widen the scale";
    EXPECT_LE(panes[1].minimum, 1000.0);
    EXPECT_GE(panes[1].maximum, 1049.0);
    EXPECT_GT(panes[1].minimum, 990.0);
    EXPECT_LT(panes[1].maximum, 1060.0);
}

// 24 hours at the circle's pace on 1,600 pixels: about 44 samples a column. A single sample far
// above the rest still draws a stroke to the top of the pane.
TEST(TrendChart, ALonePeakAmong24HoursReachesTheTopOfItsPane) {
    for (const bool withPeak : {true, false}) {
        SCOPED_TRACE(withPeak ? "with the peak" : "without it");
        ChartRig rig(1600 + TrendChart::LeftMargin + TrendChart::RightMargin, 400);
        fill(rig.history, 70000,
             [&](int i) { return withPeak && i == 51111 ? 3000.0f : 1000.0f + float(i % 13); });
        rig.show({Channel::InternalFan1});
        rig.chart.setTimeRange(0, 70000.0 * 1234);
        const auto panes = rig.chart.panes();
        ASSERT_EQ(panes.size(), 1u);
        const QRect pane = panes[0].rect;
        const QImage image = rig.image();
        const QRect top(pane.left() + 1, pane.top() + 1, pane.width() - 2, pane.height() / 10);
        const int peak = rig.colourPixels(image, index(Channel::InternalFan1), top);
        if (withPeak) {
            EXPECT_GT(peak, 0);
            // ... in the column of its time.
            const int x = qRound(rig.chart.xOfMs(51111.0 * 1234));
            EXPECT_GT(rig.colourPixels(image, index(Channel::InternalFan1),
                                       QRect(x - 2, top.top(), 5, top.height())),
                      0);
        } else {
            EXPECT_LT(panes[0].maximum, 1100);
        }
    }
}

TEST(TrendChart, AGapIsDrawnAsNothing) {
    ChartRig rig(800, 300);
    fill(rig.history, 300, [](int i) {
        return i >= 100 && i < 200 ? std::numeric_limits<float>::quiet_NaN() : 50.0f;
    });
    rig.show({Channel::Temperature1});
    rig.chart.setTimeRange(0, 300.0 * 1234);
    const QImage image = rig.image();
    const QRect plot = rig.chart.plotRect();
    const auto column = [&](double sample) {
        const int x = qRound(rig.chart.xOfMs(sample * 1234));
        return QRect(x - 1, plot.top() + 2, 3, plot.height() - 4);
    };
    const std::size_t t1 = index(Channel::Temperature1);
    EXPECT_GT(rig.colourPixels(image, t1, column(50)), 0);
    EXPECT_EQ(rig.colourPixels(image, t1, column(130)), 0);
    EXPECT_EQ(rig.colourPixels(image, t1, column(170)), 0);
    EXPECT_GT(rig.colourPixels(image, t1, column(250)), 0);
}

TEST(TrendChart, WheelZoomsAroundTheMouseAndDragPans) {
    ChartRig rig(900, 400);
    fill(rig.history, 100, [](int) { return 1.0f; });
    rig.show({Channel::Temperature1});
    rig.chart.setTimeRange(0, 100000);
    QSignalSpy byUser(&rig.chart, &TrendChart::viewChangedByUser);

    const QPointF mouse(rig.chart.xOfMs(25000), 100);
    QWheelEvent zoomIn(mouse, rig.chart.mapToGlobal(mouse), {}, QPoint(0, 120), Qt::NoButton,
                       Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&rig.chart, &zoomIn);
    EXPECT_NEAR(rig.chart.toMs() - rig.chart.fromMs(), 80000, 1);
    EXPECT_NEAR(rig.chart.msOfX(mouse.x()), 25000, 1) << "the time under the mouse stays";
    EXPECT_EQ(byUser.count(), 1);

    const double from = rig.chart.fromMs();
    const double msPerPixel = (rig.chart.toMs() - from) / rig.chart.plotRect().width();
    const QPointF start(400, 100);
    const QPointF end(300, 100);
    QMouseEvent press(QEvent::MouseButtonPress, start, rig.chart.mapToGlobal(start), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent move(QEvent::MouseMove, end, rig.chart.mapToGlobal(end), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, end, rig.chart.mapToGlobal(end), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&rig.chart, &press);
    QApplication::sendEvent(&rig.chart, &move);
    QApplication::sendEvent(&rig.chart, &release);
    EXPECT_NEAR(rig.chart.fromMs(), from + 100 * msPerPixel, 1) << "dragged left: later times";
    EXPECT_EQ(byUser.count(), 2);
    ASSERT_TRUE(rig.chart.cursorMs());
    EXPECT_NEAR(double(*rig.chart.cursorMs()), rig.chart.msOfX(end.x()), 1);
}

// The labels the time axis writes, left to right.
std::vector<TextPaintRecorder::Text> axisLabels(const TrendChart& chart) {
    TextPaintRecorder recorder(chart.size());
    QPainter painter(&recorder);
    chart.paintChart(painter);
    painter.end();
    std::vector<TextPaintRecorder::Text> labels;
    for (const auto& text : recorder.texts()) {
        if (text.at.y() > chart.plotRect().bottom()) {
            labels.push_back(text);
        }
    }
    std::sort(labels.begin(), labels.end(),
              [](const auto& a, const auto& b) { return a.at.x() < b.at.x(); });
    return labels;
}

// From two seconds to far past any history, wherever in time: the range stays within its bounds
// and the axis writes a few distinct labels, spaced as the plot's width allows.
TEST(TrendChart, TheTimeAxisWritesAFewLabelsWhateverTheRange) {
    constexpr double Day = 24 * 3600 * 1000.0;
    constexpr double Now = 1.78e12; // 2026
    constexpr double Huge = std::numeric_limits<double>::max();
    const struct {
        const char* name;
        double from;
        double to;
    } cases[] = {
        {"two seconds", Now, Now + 2000},
        {"an hour", Now, Now + 3600e3},
        {"a day", Now, Now + Day},
        {"two months", Now, Now + 61 * Day},
        {"two years", Now, Now + 730 * Day},
        {"ten years from the epoch", 0, 3653 * Day},
        {"a thousand years", Now, Now + 365250 * Day},
        {"a hundred wheel notches out", Now - 1e15, Now + 1e15},
        {"past every date", -Huge, Huge},
        {"near the last year", 2.5e14, 2.6e14},
    };
    ChartRig rig(900, 300);
    fill(rig.history, 10, [](int i) { return float(i); });
    rig.show({Channel::Temperature1});
    const int most = rig.chart.plotRect().width() / TrendChart::LabelSpacing + 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        rig.chart.setTimeRange(c.from, c.to);
        const double width = rig.chart.toMs() - rig.chart.fromMs();
        EXPECT_GE(width, 2000);
        EXPECT_LE(width, 11 * 365.25 * Day) << "a few years at most";
        EXPECT_GE(rig.chart.fromMs(), -62135596800000.0) << "year 1 at the earliest";
        EXPECT_LE(rig.chart.toMs(), 253402300800000.0) << "year 9999 at the latest";
        const auto labels = axisLabels(rig.chart);
        ASSERT_LE(int(labels.size()), most);
        EXPECT_GE(labels.size(), 2u) << "an axis without times";
        std::set<QString> texts;
        for (const auto& label : labels) {
            texts.insert(label.text);
        }
        EXPECT_EQ(texts.size(), labels.size()) << "two labels read alike";
    }
    // Not numbers: the range stays as it was.
    rig.chart.setTimeRange(1000, 5000);
    rig.chart.setTimeRange(std::nan(""), 5000);
    rig.chart.setTimeRange(0, HUGE_VAL);
    EXPECT_EQ(rig.chart.fromMs(), 1000);
    EXPECT_EQ(rig.chart.toMs(), 5000);
}

// However far the wheel turns out, the view ends at the whole history with a twentieth of its
// span on each side, at least a day; and it zooms in again from there.
TEST(TrendChart, ZoomingOutEndsAtTheWholeHistory) {
    constexpr double Day = 24 * 3600 * 1000.0;
    const struct {
        const char* name;
        int rows;
        double widest;
    } cases[] = {
        {"three days", 3 * 70000, 1.1 * (3 * 70000 - 1) * 1234.0},
        {"an hour", 2918, Day},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ChartRig rig(900, 300);
        fill(rig.history, c.rows, [](int i) { return float(i % 7); });
        rig.show({Channel::Temperature1});
        rig.chart.setTimeRange(60000, 360000);
        const QPointF mouse(rig.chart.plotRect().left() + 5, 100);
        const auto turn = [&](int notches) {
            QWheelEvent wheel(mouse, rig.chart.mapToGlobal(mouse), {}, QPoint(0, 120 * notches),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&rig.chart, &wheel);
        };
        for (int notch = 0; notch < 300; ++notch) {
            turn(-1);
        }
        EXPECT_NEAR(rig.chart.toMs() - rig.chart.fromMs(), c.widest, 1);
        const auto rows = rig.history.rows();
        EXPECT_LE(rig.chart.fromMs(), double(rows.front().ms)) << "the whole history in view";
        EXPECT_GE(rig.chart.toMs(), double(rows.back().ms));
        turn(1);
        EXPECT_NEAR(rig.chart.toMs() - rig.chart.fromMs(), 0.8 * c.widest, 1);
    }
}

} // namespace

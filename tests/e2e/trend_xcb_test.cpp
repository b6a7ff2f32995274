// The Trend window against the simulator on a real display (Xvfb: the xcb platform, or Windows'
// own platform under Wine), driven by mouse events through the window system: the tab, the Trend
// button, Pause and the cursor are reached as a person reaches them; the wheel turns through the
// X server (xdotool).
#include "WindowOnDisplay.h"

#include "support/HostProgram.h"
#include "support/RealInput.h"
#include "support/TextPaintRecorder.h"

#include "realtime/RealTimeMonitor.h"
#include "trend/TrendChart.h"
#include "trend/TrendHistory.h"
#include "trend/TrendWindow.h"

#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QWindow>

#include <algorithm>

using namespace climate::trend;

namespace {

constexpr std::size_t Temperature1 = static_cast<std::size_t>(Channel::Temperature1);

class TrendOnSimulator : public WindowOnDisplay {
protected:
    void click(QWidget* widget) {
        ASSERT_NE(widget, nullptr);
        ASSERT_EQ(RealInput::click(widget), "") << widget->objectName().toStdString();
    }

    // Moves the mouse over the chart to the time `ms` (in the middle of the plot's height) and
    // waits until the chart has placed its cursor there (to a pixel: a third of a second at the
    // five minutes shown).
    bool pointAt(TrendChart* chart, std::int64_t ms) {
        const QPoint at(qRound(chart->xOfMs(double(ms))), chart->plotRect().center().y());
        // Through the window system, at the window's coordinates, as RealInput clicks.
        QTest::mouseMove(chart->window()->windowHandle(), chart->mapTo(chart->window(), at));
        return QTest::qWaitFor(
            [&] { return chart->cursorMs() && std::abs(*chart->cursorMs() - ms) < 400; }, 3000);
    }

    // The first of the history's rows from `fromIndex` on with Temperature 1 at `value`.
    std::optional<TrendRow> rowWith(double value, std::size_t fromIndex = 0) {
        const auto rows = form->trendHistory().rows();
        for (std::size_t i = fromIndex; i < rows.size(); ++i) {
            if (rows[i].has(Temperature1) && rows[i].values[Temperature1] == float(value)) {
                return rows[i];
            }
        }
        return std::nullopt;
    }
};

// Counts the wheel and paint events a widget receives.
class EventCounter : public QObject {
public:
    explicit EventCounter(QWidget* widget) : QObject(widget) { widget->installEventFilter(this); }
    int wheels = 0;
    int paints = 0;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        wheels += event->type() == QEvent::Wheel ? 1 : 0;
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

TEST_F(TrendOnSimulator, PinnedValueOnTheCursorAndTheGapOfASilentLine) {
    auto* pages = child<QTabWidget>("Data");
    ASSERT_NE(pages, nullptr);
    ASSERT_EQ(RealInput::clickTab(pages, QStringLiteral("RealTimeData")), "");

    ASSERT_TRUE(sim.commandOk(QStringLiteral("set ir 4 600"))) << sim.diagnostics().toStdString();
    click(button("TrendButton"));
    TrendWindow* trend = form->trendWindow();
    ASSERT_NE(trend, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(trend));

    // A few circles with the pinned 60.0 °C.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const auto rows = form->trendHistory().rows();
            return rows.size() >= 3 && rowWith(60.0, rows.size() - 2).has_value();
        },
        20000));
    click(trend->findChild<QWidget*>(QStringLiteral("TrendPause")));
    ASSERT_TRUE(trend->paused());
    TrendChart* chart = trend->chart();
    // Not the first sample: a pixel left of it there is nothing yet.
    const auto pinned = rowWith(60.0, 1);
    ASSERT_TRUE(pinned);
    // Half a second after the sample (a pixel is a third of a second at this span).
    ASSERT_TRUE(pointAt(chart, pinned->ms + 500)) << "the cursor is not where the mouse is";
    const QStringList lines = trend->readoutText().split(QLatin1Char('\n'));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.front(),
              QStringLiteral("Cursor: ") + QDateTime::fromMSecsSinceEpoch(*chart->cursorMs())
                                               .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Temperature 1: 60.0 °C")))
        << trend->readoutText().toStdString();

    // Pull the line until the link counts as lost, then plug it again.
    ASSERT_TRUE(sim.commandOk(QStringLiteral("silent on")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->realTime().model().linkCountsLost(); }, 60000));
    ASSERT_TRUE(sim.commandOk(QStringLiteral("silent off")));
    const auto rows = [&] { return form->trendHistory().rows(); };
    std::size_t gap = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const auto all = rows();
            for (std::size_t i = 1; i + 1 < all.size(); ++i) {
                if (all[i].isGap() && all[i + 1].has(Temperature1)) {
                    gap = i;
                    return true;
                }
            }
            return false;
        },
        20000));
    const TrendRow before = rows()[gap - 1];
    const TrendRow after = rows()[gap + 1];
    EXPECT_EQ(before.values[Temperature1], 60.0f);
    EXPECT_EQ(after.values[Temperature1], 60.0f) << "no drop to zero after the link returned";
    for (const TrendRow& row : rows()) {
        EXPECT_TRUE(row.isGap() || row.values[Temperature1] == 60.0f)
            << "the link-loss zeros reached the trend at " << row.ms;
    }

    // Follow again until a sample has come after the first one behind the gap, pause, and point
    // into the gap: no value there.
    click(trend->findChild<QWidget*>(QStringLiteral("TrendPause")));
    ASSERT_FALSE(trend->paused());
    ASSERT_TRUE(QTest::qWaitFor([&] { return rows().size() > gap + 2; }, 10000));
    click(trend->findChild<QWidget*>(QStringLiteral("TrendPause")));
    ASSERT_TRUE(trend->paused());
    const std::int64_t middle = (before.ms + after.ms) / 2;
    ASSERT_TRUE(pointAt(chart, middle));
    EXPECT_TRUE(
        trend->readoutText().split(QLatin1Char('\n')).contains(QStringLiteral("Temperature 1: —")))
        << trend->readoutText().toStdString();
    ASSERT_TRUE(pointAt(chart, after.ms + 500));
    EXPECT_TRUE(trend->readoutText()
                    .split(QLatin1Char('\n'))
                    .contains(QStringLiteral("Temperature 1: 60.0 °C")))
        << trend->readoutText().toStdString();

    QDir().mkpath(QStringLiteral(SHOTS_DIR));
    EXPECT_TRUE(trend->grab().save(QStringLiteral(SHOTS_DIR "/trend.png")));
}

// Three hundred notches of the wheel out, through the X server: the view stops at the whole
// history with a little room, the chart still paints, its axis writes a few labels, and the window
// still answers a click.
TEST_F(TrendOnSimulator, ZoomingFarOutStopsAtTheWholeHistory) {
    if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
        GTEST_SKIP() << "xdotool turns the wheel on the X server; Wine's windows are not checked";
    }
    auto* pages = child<QTabWidget>("Data");
    ASSERT_NE(pages, nullptr);
    ASSERT_EQ(RealInput::clickTab(pages, QStringLiteral("RealTimeData")), "");
    click(button("TrendButton"));
    TrendWindow* trend = form->trendWindow();
    ASSERT_NE(trend, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(trend));
    ASSERT_EQ(RealInput::showAndActivate(trend), "");
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->trendHistory().rows().size() >= 3; }, 20000));
    TrendChart* chart = trend->chart();
    auto* counter = new EventCounter(chart);

    // The X server takes the move and the clicks in order: the pointer is there before the first.
    const QPoint at = chart->mapToGlobal(chart->plotRect().center());
    const HostRun turned = runHostProgram(
        QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
         QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("300"),
         QStringLiteral("--delay"), QStringLiteral("1"), QStringLiteral("5")});
    ASSERT_TRUE(turned.finished && turned.exitCode == 0) << turned.errors.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter->wheels >= 300; }, 30000))
        << counter->wheels << " notches reached the chart";
    EXPECT_TRUE(trend->paused()) << "the wheel stops following new samples";

    // The history (the samples taken by now, a few circles) spans far less than a day: the view
    // is a day wide around it.
    const auto rows = form->trendHistory().rows();
    const double day = 24 * 3600 * 1000.0;
    EXPECT_NEAR(chart->toMs() - chart->fromMs(), day, 1);
    EXPECT_LE(chart->fromMs(), double(rows.front().ms));
    EXPECT_GE(chart->toMs(), double(rows.back().ms));

    // A paint on the screen completes.
    const int paints = counter->paints;
    chart->update();
    ASSERT_TRUE(QTest::qWaitFor([&] { return counter->paints > paints; }, 10000));
    // The axis's labels: no more than fit the plot.
    TextPaintRecorder recorder(chart->size());
    QPainter painter(&recorder);
    chart->paintChart(painter);
    painter.end();
    const auto axisLabels = std::count_if(recorder.texts().begin(), recorder.texts().end(),
                                          [&](const TextPaintRecorder::Text& text) {
                                              return text.at.y() > chart->plotRect().bottom();
                                          });
    EXPECT_GE(axisLabels, 2);
    EXPECT_LE(axisLabels, chart->plotRect().width() / TrendChart::LabelSpacing + 1);

    // The window answers: Pause follows again.
    click(trend->findChild<QWidget*>(QStringLiteral("TrendPause")));
    EXPECT_FALSE(trend->paused());
}

} // namespace

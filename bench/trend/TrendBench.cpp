// The trend's figures. Run: QT_QPA_PLATFORM=offscreen build/bin/trend_bench
//   History24h    - 24 hours of every channel at the circle's pace (70,000 measurements, as the
//                   live-data model delivers them): "bytes" is what the history holds (limit
//                   30 MB).
//   Redraw24h     - the whole 24 hours on a chart whose plot is 1,600 pixels wide, every channel
//                   shown, four panes, into an image (limit 15 ms a redraw).
//   RedrawWidest  - the same chart with the widest range it takes (ten years, the day's samples a
//                   sliver in it): the time axis steps in years; as quick as the day's redraw.
//   OpenFullLog   - reading a test log whose sheet is full (65,536 rows) into a history, from the
//                   file on disk (limit 2 s).
#include "app/TrendLogImport.h"
#include "realtime/LiveData.h"
#include "report/Biff8Writer.h"
#include "report/CompoundFile.h"
#include "report/TestLogColumns.h"
#include "report/Workbook.h"
#include "trend/TrendChart.h"
#include "trend/TrendHistory.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <fstream>

using namespace climate;
using namespace climate::trend;

namespace {

constexpr int SamplesIn24h = 70000;
constexpr std::int64_t CircleMs = 24LL * 3600 * 1000 / SamplesIn24h; // about 1.23 s

// Values that move like a unit's: slow drifts, steps and a little noise.
realtime::LiveData liveAt(int i) {
    realtime::LiveData live;
    const double t = i / 700.0;
    live.Temperature1 = std::round((30 + 8 * std::sin(t)) * 10) / 10;
    live.Temperature2 = std::round((25 + 5 * std::cos(t / 3)) * 10) / 10;
    live.Temperature3 = std::round((20 + 3 * std::sin(t / 7)) * 10) / 10;
    const bool compressorOn = std::sin(t * 2) > 0;
    live.InternalFan1Rev = compressorOn ? 2700u + static_cast<unsigned>(i % 17) : 1200u;
    live.InternalFan2Rev = live.InternalFan1Rev;
    live.ExternalFan1Rev = 1500u + static_cast<unsigned>(i % 300);
    live.ExternalFan2Rev = live.ExternalFan1Rev;
    live.CompressorRev = compressorOn ? 4500 : 0;
    live.CompressorCurrent = compressorOn ? 13.5 : 0;
    live.HeaterCurrent = live.Temperature1 < 24 ? 8.5 : 0;
    live.SupplyVoltage = 48 + (i % 5) * 0.1;
    return live;
}

void fill24h(TrendHistory& history) {
    for (int i = 0; i < SamplesIn24h; ++i) {
        const auto at = realtime::LiveClock::time_point(std::chrono::milliseconds(i * CircleMs));
        if (i % 5000 == 4999) {
            history.linkLost(realtime::LiveData{}, at, true); // a few breaks, as in a real day
        }
        history.groupDecoded(realtime::LiveGroup::AlarmInputs, liveAt(i), at);
        history.groupDecoded(realtime::LiveGroup::Measurements, liveAt(i), at);
    }
}

void History24h(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        TrendHistory history;
        fill24h(history);
        bytes = history.memoryBytes();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = double(bytes);
    state.counters["MB"] = double(bytes) / 1e6;
}
BENCHMARK(History24h)->Unit(benchmark::kMillisecond);

// Redraws of 24 hours of history, every channel shown, on a 1,600-pixel plot showing
// [fromMs, toMs] (which the chart bounds as it does for a person's zoom).
void redrawEveryChannel(benchmark::State& state, double fromMs, double toMs) {
    TrendHistory history;
    fill24h(history);
    TrendChart chart;
    chart.setHistory(&history);
    for (std::size_t c = 0; c < ChannelCount; ++c) {
        chart.setChannelShown(c, true);
    }
    chart.resize(1600 + TrendChart::LeftMargin + TrendChart::RightMargin, 700);
    chart.setTimeRange(fromMs, toMs);
    QImage image(chart.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        chart.paintChart(painter);
    }
    state.counters["plot_px"] = chart.plotRect().width();
    state.counters["samples"] = double(history.rows().size());
    state.counters["range_days"] = (chart.toMs() - chart.fromMs()) / (24 * 3600 * 1000.0);
}

void Redraw24h(benchmark::State& state) {
    redrawEveryChannel(state, 0, double(SamplesIn24h) * double(CircleMs));
}
BENCHMARK(Redraw24h)->Unit(benchmark::kMillisecond);

// The widest range the chart takes: the labels stay few however far out it is.
void RedrawWidest(benchmark::State& state) {
    redrawEveryChannel(state, -1e300, 1e300);
}
BENCHMARK(RedrawWidest)->Unit(benchmark::kMillisecond);

// A log sheet filled to its last row, as the test log writes it.
std::string writeFullLog(const QString& folder) {
    report::Workbook book;
    report::Worksheet& sheet = book.addWorksheet();
    const auto text = [&](int row, int column, const std::string& value) {
        auto& cell = sheet.cellAt(row, column);
        cell.kind = report::Worksheet::Cell::Kind::Text;
        cell.text = book.internString(value);
    };
    const auto number = [&](int row, int column, double value) {
        auto& cell = sheet.cellAt(row, column);
        cell.kind = report::Worksheet::Cell::Kind::Number;
        cell.number = value;
    };
    text(0, 1, "Test Data");
    text(1, 4, "2026Year12Month11Day");
    for (std::size_t c = 0; c < report::TestLogColumns.size(); ++c) {
        text(2, static_cast<int>(c), report::TestLogColumns[c].header);
    }
    for (int row = 3; row < report::Worksheet::MaxRows; ++row) {
        const int n = row - 3;
        const auto live = liveAt(n);
        const int seconds = n * 15;
        char time[32];
        // Every 15 s from 11 December on, as the log stamps its rows (about 11 days in all).
        std::snprintf(time, sizeof time, "202612%02d%02d%02d%02d", 11 + seconds / 86400,
                      seconds / 3600 % 24, seconds / 60 % 60, seconds % 60);
        number(row, 0, n + 1);
        text(row, 1, time);
        number(row, 2, live.InternalFan1Rev);
        number(row, 3, live.InternalFan2Rev);
        number(row, 4, live.ExternalFan1Rev);
        number(row, 5, live.ExternalFan2Rev);
        number(row, 6, live.Temperature1);
        number(row, 7, live.Temperature2);
        number(row, 8, live.CompressorRev);
        number(row, 9, 0);
        number(row, 10, live.HeaterCurrent);
    }
    const auto bytes =
        report::CompoundFile::withStream("Workbook", report::Biff8Writer().workbookStream(book));
    const std::string path = (folder + QStringLiteral("/TestDataFull.xls")).toStdString();
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

void OpenFullLog(benchmark::State& state) {
    QTemporaryDir folder;
    const std::string path = writeFullLog(folder.path());
    std::size_t rows = 0;
    for (auto _ : state) {
        TrendHistory history;
        app::importTestLog(QString::fromStdString(path), history);
        rows = history.rows().size();
    }
    state.counters["rows"] = double(rows);
}
BENCHMARK(OpenFullLog)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

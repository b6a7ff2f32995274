// The reduction to pixel columns keeps, in every column, the extremes of exactly the samples that
// fall into it, and breaks the line where a gap lies: checked against a plain recount over shapes
// a chart must not flatten.
#include "trend/MinMaxReduction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

using namespace climate::trend;

namespace {

constexpr std::size_t Channel0 = 0;
constexpr double Nan = std::numeric_limits<double>::quiet_NaN();

std::vector<TrendRow> rowsOf(int count, const std::function<double(int)>& value, int stepMs) {
    std::vector<TrendRow> rows;
    for (int i = 0; i < count; ++i) {
        const double v = value(i);
        TrendRow row = TrendRow::gap(std::int64_t{i} * stepMs);
        if (!std::isnan(v)) {
            row.values.fill(static_cast<float>(v));
        }
        rows.push_back(row);
    }
    return rows;
}

struct Shape {
    std::string name;
    int samples;
    std::function<double(int)> value;
};

TEST(MinMaxReduction, EveryColumnHoldsTheExtremesOfItsSamples) {
    const Shape shapes[] = {
        {"spike", 70000, [](int i) { return i == 41234 ? 950.0 : 20.0 + (i % 7) * 0.1; }},
        {"negative spike", 70000, [](int i) { return i == 3 ? -40.0 : 20.0; }},
        {"step", 70000, [](int i) { return i < 35000 ? 0.0 : 3100.0; }},
        {"flat", 70000, [](int) { return 48.0; }},
        {"gap", 70000, [](int i) { return i >= 20000 && i < 30000 ? Nan : 25.0; }},
        {"fewer samples than columns", 50, [](int i) { return i * 1.5; }},
    };
    constexpr int Columns = 1600;
    constexpr int StepMs = 1234;
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.name);
        const auto rows = rowsOf(shape.samples, shape.value, StepMs);
        const double from = 0;
        const double to = double(shape.samples) * StepMs;
        const auto columns = reduceToColumns(rows, Channel0, from, to, Columns);
        ASSERT_EQ(columns.size(), std::size_t{Columns});

        // A plain recount, column by column.
        std::vector<std::vector<double>> samples(Columns);
        std::vector<bool> gapBefore(Columns, false);
        bool pending = false;
        for (const TrendRow& row : rows) {
            // The column's own formula, so a sample on a boundary goes where the chart puts it.
            const double perMs = Columns / (to - from);
            const auto c = static_cast<std::size_t>(std::floor((double(row.ms) - from) * perMs));
            if (!row.has(Channel0)) {
                pending = true;
                continue;
            }
            if (samples[c].empty()) {
                gapBefore[c] = pending;
            }
            samples[c].push_back(row.values[Channel0]);
            pending = false;
        }
        double highest = -HUGE_VAL;
        double lowest = HUGE_VAL;
        for (int c = 0; c < Columns; ++c) {
            const auto& s = samples[static_cast<std::size_t>(c)];
            const ColumnExtent& e = columns[static_cast<std::size_t>(c)];
            ASSERT_EQ(e.any, !s.empty()) << "column " << c;
            if (s.empty()) {
                continue;
            }
            EXPECT_EQ(e.min, *std::min_element(s.begin(), s.end())) << "column " << c;
            EXPECT_EQ(e.max, *std::max_element(s.begin(), s.end())) << "column " << c;
            EXPECT_EQ(e.first, s.front()) << "column " << c;
            EXPECT_EQ(e.last, s.back()) << "column " << c;
            EXPECT_EQ(e.breakBefore, gapBefore[static_cast<std::size_t>(c)]) << "column " << c;
            highest = std::max(highest, double(e.max));
            lowest = std::min(lowest, double(e.min));
        }
        // No peak is lost: the extremes of the whole series survive the reduction.
        double trueHigh = -HUGE_VAL;
        double trueLow = HUGE_VAL;
        for (int i = 0; i < shape.samples; ++i) {
            const double v = double(static_cast<float>(shape.value(i)));
            if (!std::isnan(v)) {
                trueHigh = std::max(trueHigh, v);
                trueLow = std::min(trueLow, v);
            }
        }
        EXPECT_EQ(highest, trueHigh);
        EXPECT_EQ(lowest, trueLow);
    }
}

TEST(MinMaxReduction, GapColumnsStayEmptyAndTheLineBreaksAfterThem) {
    const auto rows = rowsOf(
        100, [](int i) { return i >= 40 && i < 60 ? Nan : 1.0; }, 1000);
    const auto columns = reduceToColumns(rows, Channel0, 0, 100000, 100);
    for (int c = 40; c < 60; ++c) {
        EXPECT_FALSE(columns[static_cast<std::size_t>(c)].any) << c;
    }
    EXPECT_TRUE(columns[60].breakBefore);
    EXPECT_FALSE(columns[39].breakBefore);
    EXPECT_FALSE(columns[61].breakBefore);
}

// A range that starts inside a gap still breaks the line at its start; samples outside the range
// are left out.
TEST(MinMaxReduction, RangeEdges) {
    const auto rows = rowsOf(
        100, [](int i) { return i == 10 ? Nan : double(i); }, 1000);
    const auto columns = reduceToColumns(rows, Channel0, 11000, 21000, 10);
    EXPECT_TRUE(columns[0].breakBefore);
    EXPECT_EQ(columns[0].first, 11);
    EXPECT_EQ(columns[9].last, 20);
    const auto later = reduceToColumns(rows, Channel0, 50000, 60000, 10);
    EXPECT_FALSE(later[0].breakBefore);
    EXPECT_EQ(later[0].min, 50);
}

// Several channels in one pass give what each gives alone.
TEST(MinMaxReduction, AllChannelsInOnePassMatchEachAlone) {
    std::vector<TrendRow> rows;
    for (int i = 0; i < 5000; ++i) {
        TrendRow row;
        row.ms = i * 700;
        for (std::size_t c = 0; c < ChannelCount; ++c) {
            row.values[c] = (i % 97 == 0 && c == 3)
                                ? std::numeric_limits<float>::quiet_NaN()
                                : static_cast<float>(std::sin(i * 0.01 * double(c + 1)));
        }
        rows.push_back(row);
    }
    std::bitset<ChannelCount> all;
    all.set();
    const auto together = reduceChannels(rows, all, 0, 3500000, 321);
    for (std::size_t c = 0; c < ChannelCount; ++c) {
        const auto alone = reduceToColumns(rows, c, 0, 3500000, 321);
        ASSERT_EQ(together[c].size(), alone.size());
        for (std::size_t k = 0; k < alone.size(); ++k) {
            EXPECT_EQ(together[c][k].min, alone[k].min);
            EXPECT_EQ(together[c][k].max, alone[k].max);
            EXPECT_EQ(together[c][k].breakBefore, alone[k].breakBefore);
        }
    }
}

} // namespace

#pragma once

#include "TrendHistory.h"

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace climate::trend {

// What one pixel column of a chart draws for a channel: the extremes of its samples (a vertical
// stroke from min to max, so no peak is lost however many samples share the column) and the
// first and last of them (where the line comes in from the left and leaves to the right).
struct ColumnExtent {
    bool any = false;         // the column holds samples of the channel
    bool breakBefore = false; // a gap lies between the previous sample and this column's first
    float min = 0;
    float max = 0;
    float first = 0;
    float last = 0;
};

// Reduces the samples of `channel` that fall into [fromMs, toMs) to `columns` pixel columns of
// equal width: a sample at time t goes to column floor((t - fromMs) * columns / (toMs - fromMs)).
// Costs one pass over the rows in the range, whatever their number.
[[nodiscard]] std::vector<ColumnExtent> reduceToColumns(std::span<const TrendRow> rows,
                                                        std::size_t channel, double fromMs,
                                                        double toMs, int columns);

// The same for every channel in `channels` at once, in a single pass over the rows; the others
// get no columns.
using ChannelColumns = std::array<std::vector<ColumnExtent>, ChannelCount>;
[[nodiscard]] ChannelColumns reduceChannels(std::span<const TrendRow> rows,
                                            std::bitset<ChannelCount> channels, double fromMs,
                                            double toMs, int columns);

} // namespace climate::trend

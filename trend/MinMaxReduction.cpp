#include "MinMaxReduction.h"

#include <algorithm>
#include <cmath>

namespace climate::trend {

ChannelColumns reduceChannels(std::span<const TrendRow> rows, std::bitset<ChannelCount> channels,
                              double fromMs, double toMs, int columns) {
    ChannelColumns out;
    if (columns <= 0) {
        return out;
    }
    for (std::size_t c = 0; c < ChannelCount; ++c) {
        if (channels.test(c)) {
            out[c].resize(static_cast<std::size_t>(columns));
        }
    }
    if (!(toMs > fromMs) || channels.none()) {
        return out;
    }
    const auto begin =
        std::lower_bound(rows.begin(), rows.end(), fromMs,
                         [](const TrendRow& r, double t) { return double(r.ms) < t; });
    const double perMs = columns / (toMs - fromMs);
    // A gap just before the range still breaks the line at its start.
    std::array<bool, ChannelCount> pendingBreak{};
    if (begin != rows.begin()) {
        for (std::size_t c = 0; c < ChannelCount; ++c) {
            pendingBreak[c] = !(begin - 1)->has(c);
        }
    }
    std::array<std::size_t, ChannelCount> shown{};
    std::size_t shownCount = 0;
    for (std::size_t c = 0; c < ChannelCount; ++c) {
        if (channels.test(c)) {
            shown[shownCount++] = c;
        }
    }
    for (auto it = begin; it != rows.end() && double(it->ms) < toMs; ++it) {
        const auto column = static_cast<std::size_t>(std::clamp(
            static_cast<int>(std::floor((double(it->ms) - fromMs) * perMs)), 0, columns - 1));
        for (std::size_t k = 0; k < shownCount; ++k) {
            const std::size_t c = shown[k];
            const float value = it->values[c];
            if (std::isnan(value)) {
                pendingBreak[c] = true;
                continue;
            }
            ColumnExtent& e = out[c][column];
            if (!e.any) {
                e.any = true;
                e.breakBefore = pendingBreak[c];
                e.min = e.max = e.first = value;
            } else {
                e.min = std::min(e.min, value);
                e.max = std::max(e.max, value);
            }
            e.last = value;
            pendingBreak[c] = false;
        }
    }
    return out;
}

std::vector<ColumnExtent> reduceToColumns(std::span<const TrendRow> rows, std::size_t channel,
                                          double fromMs, double toMs, int columns) {
    std::bitset<ChannelCount> one;
    one.set(channel);
    auto all = reduceChannels(rows, one, fromMs, toMs, columns);
    if (all[channel].empty()) {
        all[channel].resize(static_cast<std::size_t>(std::max(columns, 0)));
    }
    return std::move(all[channel]);
}

} // namespace climate::trend

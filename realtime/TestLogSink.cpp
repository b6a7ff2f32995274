#include "TestLogSink.h"

#include "LiveChannels.h"
#include "link/Invariant.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace climate::realtime {

std::span<const LiveChannel* const, TestLogValueCount> testLogChannels() {
    static const std::array<const LiveChannel*, TestLogValueCount> logged = [] {
        std::array<const LiveChannel*, TestLogValueCount> found{};
        std::size_t count = 0;
        int lastColumn = 0;
        for (const LiveChannel& channel : liveChannels()) {
            if (channel.logCell == LogCell::None) {
                continue;
            }
            link::checkInvariant(count < found.size() && channel.logColumn > lastColumn,
                                 "the test log keeps eight channels, in column order");
            lastColumn = channel.logColumn;
            found[count++] = &channel;
        }
        link::checkInvariant(count == found.size(), "the test log keeps eight channels");
        return found;
    }();
    return logged;
}

double TestLogRow::value(std::string_view field) const {
    const auto channels = testLogChannels();
    const auto found = std::ranges::find_if(
        channels, [&](const LiveChannel* channel) { return field == channel->field; });
    if (found == channels.end()) {
        throw std::out_of_range("the test log does not keep " + std::string(field));
    }
    return values[static_cast<std::size_t>(found - channels.begin())];
}

TestLogRow testLogRow(const LiveData& live) {
    TestLogRow row;
    std::ranges::transform(testLogChannels(), row.values.begin(), [&](const LiveChannel* channel) {
        const double value = channel->value(live);
        return channel->logCell == LogCell::RealNotLess ? std::max(value, 0.0) : value;
    });
    return row;
}

} // namespace climate::realtime

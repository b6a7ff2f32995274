#pragma once

#include "realtime/LiveChannels.h"

#include <QColor>
#include <QString>

#include <array>
#include <cstddef>

namespace climate::realtime {
struct LiveData;
}

namespace climate::trend {

// The units the trend has a pane for, top to bottom.
using TrendUnit = realtime::LiveUnit;
inline constexpr std::size_t UnitCount = realtime::PaneUnitCount;

// The live channels the trend plots, in the channel table's order (named for tests and benches;
// the table alone decides what is plotted).
enum class Channel : std::uint8_t {
    InternalFan1,
    InternalFan2,
    ExternalFan1,
    ExternalFan2,
    Temperature1,
    Temperature2,
    SupplyVoltage,
    CompressorSpeed,
    CompressorCurrent,
    HeaterCurrent,
    Temperature3,
};
inline constexpr std::size_t ChannelCount = realtime::TrendedChannelCount;

struct ChannelInfo {
    Channel channel;
    const char* name; // the channel's one name
    TrendUnit unit;
    QRgb colour;
    int decimals;                                    // as the page shows the value
    double (*value)(const realtime::LiveData& live); // the value in the live record
    int logValue; // index in a test-log record's values; -1: the log does not keep it
    const realtime::LiveChannel* source; // its row of the channel table
};

// The trended rows of realtime::liveChannels().
[[nodiscard]] const std::array<ChannelInfo, ChannelCount>& channels();
[[nodiscard]] inline const ChannelInfo& channelInfo(std::size_t index) {
    return channels()[index];
}
[[nodiscard]] QString unitText(TrendUnit unit);
// "Temperature 1 (°C)".
[[nodiscard]] QString channelTitle(std::size_t index);
// The value as the readouts write it, with its unit ("25.3 °C", "1200 RPM").
[[nodiscard]] QString valueText(std::size_t index, double value);

// The alarm LEDs of the RealTimeData page, in the order realtime::alarmLeds() gives them.
inline constexpr std::size_t AlarmCount = 13;
[[nodiscard]] const char* alarmName(std::size_t alarm);

} // namespace climate::trend

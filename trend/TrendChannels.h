#pragma once

#include <QColor>
#include <QString>

#include <array>
#include <cstddef>

namespace climate::realtime {
struct LiveData;
}

namespace climate::trend {

// The units the trend has a pane for, top to bottom.
enum class TrendUnit : std::uint8_t { Celsius, Rpm, Ampere, Volt };
inline constexpr std::size_t UnitCount = 4;

// Every analogue value the polling circle reads.
enum class Channel : std::uint8_t {
    Temperature1,
    Temperature2,
    Temperature3,
    InternalFan1,
    InternalFan2,
    ExternalFan1,
    ExternalFan2,
    CompressorSpeed,
    CompressorCurrent,
    HeaterCurrent,
    SupplyVoltage,
};
inline constexpr std::size_t ChannelCount = 11;

struct ChannelInfo {
    Channel channel;
    const char* name; // as the page's instruments are named
    TrendUnit unit;
    QRgb colour;
    int decimals;                                    // as the page shows the value
    double (*value)(const realtime::LiveData& live); // the value in the live record
    int logValue; // index in a test-log record's values; -1: the log does not keep it
};

[[nodiscard]] const std::array<ChannelInfo, ChannelCount>& channels();
[[nodiscard]] inline const ChannelInfo& channelInfo(std::size_t index) {
    return channels()[index];
}
[[nodiscard]] QString unitText(TrendUnit unit);
// "Temperature 1 (°C)".
[[nodiscard]] QString channelTitle(std::size_t index);
// The value as the readouts write it, with its unit ("25.3 °C", "1200 RPM").
[[nodiscard]] QString valueText(std::size_t index, double value);

// The alarm LEDs of the RealTimeData page, in the order realtime::alarmLedStates gives them.
inline constexpr std::size_t AlarmCount = 13;
[[nodiscard]] const char* alarmName(std::size_t alarm);

} // namespace climate::trend

#include "TrendChannels.h"

#include "realtime/LiveData.h"

namespace climate::trend {

using realtime::LiveData;

const std::array<ChannelInfo, ChannelCount>& channels() {
    static const std::array<ChannelInfo, ChannelCount> table{{
        {Channel::Temperature1, "Temperature 1", TrendUnit::Celsius, qRgb(214, 39, 40), 1,
         [](const LiveData& l) { return l.Temperature1; }, 4},
        {Channel::Temperature2, "Temperature 2", TrendUnit::Celsius, qRgb(255, 127, 14), 1,
         [](const LiveData& l) { return l.Temperature2; }, 5},
        {Channel::Temperature3, "Temperature 3", TrendUnit::Celsius, qRgb(148, 103, 189), 1,
         [](const LiveData& l) { return l.Temperature3; }, -1},
        {Channel::InternalFan1, "Internal fan 1", TrendUnit::Rpm, qRgb(31, 119, 180), 0,
         [](const LiveData& l) { return double(l.InternalFan1Rev); }, 0},
        {Channel::InternalFan2, "Internal fan 2", TrendUnit::Rpm, qRgb(23, 190, 207), 0,
         [](const LiveData& l) { return double(l.InternalFan2Rev); }, 1},
        {Channel::ExternalFan1, "External fan 1", TrendUnit::Rpm, qRgb(44, 160, 44), 0,
         [](const LiveData& l) { return double(l.ExternalFan1Rev); }, 2},
        {Channel::ExternalFan2, "External fan 2", TrendUnit::Rpm, qRgb(140, 86, 75), 0,
         [](const LiveData& l) { return double(l.ExternalFan2Rev); }, 3},
        {Channel::CompressorSpeed, "Compressor speed", TrendUnit::Rpm, qRgb(227, 119, 194), 0,
         [](const LiveData& l) { return double(l.CompressorRev); }, 6},
        {Channel::CompressorCurrent, "Compressor current", TrendUnit::Ampere, qRgb(188, 189, 34), 1,
         [](const LiveData& l) { return l.CompressorCurrent; }, -1},
        {Channel::HeaterCurrent, "Heater current", TrendUnit::Ampere, qRgb(127, 127, 127), 1,
         [](const LiveData& l) { return l.HeaterCurrent; }, 7},
        {Channel::SupplyVoltage, "Supply voltage", TrendUnit::Volt, qRgb(0, 0, 0), 1,
         [](const LiveData& l) { return l.SupplyVoltage; }, -1},
    }};
    return table;
}

QString unitText(TrendUnit unit) {
    switch (unit) {
    case TrendUnit::Celsius:
        return QStringLiteral("°C");
    case TrendUnit::Rpm:
        return QStringLiteral("RPM");
    case TrendUnit::Ampere:
        return QStringLiteral("A");
    case TrendUnit::Volt:
        return QStringLiteral("V");
    }
    return {};
}

QString channelTitle(std::size_t index) {
    const ChannelInfo& info = channelInfo(index);
    return QStringLiteral("%1 (%2)").arg(QString::fromUtf8(info.name), unitText(info.unit));
}

QString valueText(std::size_t index, double value) {
    const ChannelInfo& info = channelInfo(index);
    return QStringLiteral("%1 %2").arg(QString::number(value, 'f', info.decimals),
                                       unitText(info.unit));
}

const char* alarmName(std::size_t alarm) {
    static constexpr std::array<const char*, AlarmCount> names{
        "Internal fan 1",       "Internal fan 2",   "External fan 1",  "External fan 2",
        "Compressor",           "High temperature", "Low temperature", "Temperature sensor 1",
        "Temperature sensor 2", "Supply voltage",   "Heater",          "High pressure",
        "Low pressure"};
    return alarm < names.size() ? names[alarm] : "";
}

} // namespace climate::trend

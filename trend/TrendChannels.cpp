#include "TrendChannels.h"

#include "link/Invariant.h"

namespace climate::trend {

using namespace climate::realtime;

const std::array<ChannelInfo, ChannelCount>& channels() {
    static const std::array<ChannelInfo, ChannelCount> table = [] {
        std::array<ChannelInfo, ChannelCount> made{};
        std::size_t trended = 0;
        int logged = 0;
        for (const LiveChannel& live : liveChannels()) {
            const int logValue = live.logCell != LogCell::None ? logged++ : -1;
            if (!live.trended) {
                continue;
            }
            link::checkInvariant(trended < ChannelCount && live.unit != LiveUnit::Flag,
                                 "the trend plots eleven channels, each in a unit's pane");
            made[trended] = {static_cast<Channel>(trended),
                             live.name,
                             live.unit,
                             0xFF000000u | live.colour,
                             live.decimals,
                             live.value,
                             logValue,
                             &live};
            ++trended;
        }
        link::checkInvariant(trended == ChannelCount, "the trend plots eleven channels");
        return made;
    }();
    return table;
}

QString unitText(TrendUnit unit) {
    return QString::fromUtf8(realtime::unitSymbol(unit));
}

QString channelTitle(std::size_t index) {
    return QString::fromStdString(realtime::channelTitle(*channelInfo(index).source));
}

QString valueText(std::size_t index, double value) {
    const ChannelInfo& info = channelInfo(index);
    return QStringLiteral("%1 %2").arg(QString::number(value, 'f', info.decimals),
                                       unitText(info.unit));
}

const char* alarmName(std::size_t alarm) {
    const auto leds = alarmLeds();
    return alarm < leds.size() ? leds[alarm].name : "";
}

} // namespace climate::trend

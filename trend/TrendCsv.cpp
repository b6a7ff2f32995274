#include "TrendCsv.h"

#include <QDateTime>
#include <QTimeZone>

namespace climate::trend {

QString trendCsv(std::span<const TrendRow> rows) {
    QString out = QStringLiteral("Time");
    for (std::size_t c = 0; c < ChannelCount; ++c) {
        out += QLatin1Char(',') + channelTitle(c);
    }
    out += QLatin1Char('\n');
    out.reserve(static_cast<qsizetype>(rows.size()) * 80);
    for (const TrendRow& row : rows) {
        out += QDateTime::fromMSecsSinceEpoch(row.ms, QTimeZone::utc()).toString(Qt::ISODateWithMs);
        for (std::size_t c = 0; c < ChannelCount; ++c) {
            out += QLatin1Char(',');
            if (row.has(c)) {
                out += QString::number(double(row.values[c]), 'f', channelInfo(c).decimals);
            }
        }
        out += QLatin1Char('\n');
    }
    return out;
}

} // namespace climate::trend

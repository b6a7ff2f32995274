#include "TrendLogImport.h"

#include "report/TestLogFile.h"
#include "trend/TrendHistory.h"

#include <QDateTime>

#include <limits>

namespace climate::app {

using namespace climate::trend;

void importTestLog(const QString& path, TrendHistory& into) {
    const report::TestLogContents log = report::readTestLog(path.toStdString());
    into.clear();
    std::int64_t previous = std::numeric_limits<std::int64_t>::min();
    for (const report::TestLogRecord& record : log.records) {
        const QDateTime local(QDate(record.time.year, record.time.month, record.time.day),
                              QTime(record.time.hour, record.time.minute, record.time.second));
        if (!local.isValid()) {
            continue;
        }
        TrendRow row = TrendRow::gap(local.toMSecsSinceEpoch());
        if (previous != std::numeric_limits<std::int64_t>::min() && row.ms - previous > LogGapMs) {
            into.appendGap(previous + 1);
        }
        for (std::size_t c = 0; c < ChannelCount; ++c) {
            const int index = channelInfo(c).logValue;
            if (index >= 0) {
                row.values[c] = static_cast<float>(record.values[static_cast<std::size_t>(index)]);
            }
        }
        into.append(row);
        previous = row.ms;
    }
}

} // namespace climate::app

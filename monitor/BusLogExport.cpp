#include "BusLogExport.h"

#include "BusLog.h"

#include "link/SaveWhole.h"

#include <QStringList>

namespace climate::monitor {

using namespace climate::link;

namespace {

QString csvField(const QString& field) {
    if (!field.contains(QLatin1Char(',')) && !field.contains(QLatin1Char('"')) &&
        !field.contains(QLatin1Char('\n')) && !field.contains(QLatin1Char('\r'))) {
        return field;
    }
    QString quoted = field;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString wallText(const BusLog& log, const BusEntry& entry) {
    return log.wallClock(entry).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

} // namespace

QString hexText(const BusEntry& entry) {
    return QString::fromLatin1(entry.bytes.toHex(' ').toUpper());
}

QString toCsv(const BusLog& log) {
    QString out = QStringLiteral("time_ms,wall_clock,direction,hex,meaning,outcome\r\n");
    for (const BusEntry& entry : log.entries()) {
        const QStringList fields{QString::number(entry.msSinceStart),
                                 wallText(log, entry),
                                 directionText(entry.direction),
                                 hexText(entry),
                                 entry.meaning,
                                 entry.outcome};
        QStringList quoted;
        for (const QString& field : fields) {
            quoted << csvField(field);
        }
        out += quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return out;
}

QString toText(const BusLog& log) {
    const BusCounters& c = log.counters();
    QString out;
    out += QStringLiteral("Requests %1, good replies %2, time-outs %3, bad CRC %4, wrong header "
                          "%5, exception replies %6, abandoned %7, bytes purged %8\n")
               .arg(c.requests)
               .arg(c.goodReplies)
               .arg(c.timeouts)
               .arg(c.badCrc)
               .arg(c.wrongHeader)
               .arg(c.exceptionReplies)
               .arg(c.abandoned)
               .arg(c.bytesPurged);
    out += QStringLiteral("Reply time mean %1 ms, max %2 ms over %3 replies\n")
               .arg(c.replyMsMean(), 0, 'f', 1)
               .arg(c.replyMsMax, 0, 'f', 1)
               .arg(c.replyTimes);
    if (log.dropped() > 0) {
        out += QStringLiteral("%1 older entries dropped\n").arg(log.dropped());
    }
    out += QLatin1Char('\n');
    for (const BusEntry& entry : log.entries()) {
        out += QStringLiteral("%1  %2  %3  %4  %5")
                   .arg(entry.msSinceStart, 9)
                   .arg(wallText(log, entry))
                   .arg(directionText(entry.direction), -5)
                   .arg(hexText(entry), -24)
                   .arg(entry.meaning);
        if (!entry.outcome.isEmpty()) {
            out += QStringLiteral("  [%1]").arg(entry.outcome);
        }
        out += QLatin1Char('\n');
    }
    return out;
}

bool saveLog(const BusLog& log, const QString& path, ExportFormat format, QString* error) {
    return link::saveWhole(path, (format == ExportFormat::Csv ? toCsv(log) : toText(log)).toUtf8(),
                           error);
}

} // namespace climate::monitor

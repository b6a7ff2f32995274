#include "LiveColumns.h"

#include "realtime/LiveChannels.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>

namespace climate::cli {

using namespace climate::realtime;

namespace {

// Shortest text that reads back as the same value: 1500, 25.3, -4.
QString valueText(double value) {
    return QString::number(value, 'g', 15);
}

// A JSON string or number as compact JSON text (QJsonObject would sort the keys).
QByteArray jsonText(const QJsonValue& value) {
    QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return text.mid(1, text.size() - 2); // without the array's brackets
}

} // namespace

QByteArray csvHeader() {
    QByteArray header = "time";
    for (const LiveChannel& channel : liveChannels()) {
        header += ',';
        header += QByteArray::fromStdString(channelTitle(channel));
    }
    return header;
}

QByteArray csvLine(const QString& time, const LiveData& live) {
    QString line = time;
    for (const LiveChannel& channel : liveChannels()) {
        line += QLatin1Char(',') + valueText(channel.value(live));
    }
    return line.toUtf8();
}

QByteArray jsonSample(const QString& time, const LiveData& live) {
    QByteArray sample = "{\"time\":" + jsonText(time);
    for (const LiveChannel& channel : liveChannels()) {
        sample += ',' + jsonText(QString::fromStdString(channelTitle(channel))) + ':' +
                  jsonText(channel.value(live));
    }
    return sample + '}';
}

} // namespace climate::cli

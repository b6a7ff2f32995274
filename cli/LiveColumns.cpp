#include "LiveColumns.h"

#include <QString>

#include <array>

namespace climate::cli {

using realtime::LiveData;

namespace {

#define CLIMATE_LIVE_COLUMN(field)                                                                 \
    LiveColumn {                                                                                   \
#field, [](const LiveData& live) { return static_cast<double>(live.field); }               \
    }

const std::array Columns{
    CLIMATE_LIVE_COLUMN(InternalFan1Rev),   CLIMATE_LIVE_COLUMN(InternalFan2Rev),
    CLIMATE_LIVE_COLUMN(ExternalFan1Rev),   CLIMATE_LIVE_COLUMN(ExternalFan2Rev),
    CLIMATE_LIVE_COLUMN(Temperature1),      CLIMATE_LIVE_COLUMN(Temperature2),
    CLIMATE_LIVE_COLUMN(Temperature3),      CLIMATE_LIVE_COLUMN(SupplyVoltage),
    CLIMATE_LIVE_COLUMN(CompressorRev),     CLIMATE_LIVE_COLUMN(CompressorCurrent),
    CLIMATE_LIVE_COLUMN(HeaterCurrent),     CLIMATE_LIVE_COLUMN(ForceOutputStatus),
    CLIMATE_LIVE_COLUMN(CompressorSetTemp), CLIMATE_LIVE_COLUMN(CompressorDeltTemp),
    CLIMATE_LIVE_COLUMN(IntFan1Status),     CLIMATE_LIVE_COLUMN(IntFan2Status),
    CLIMATE_LIVE_COLUMN(ExtFan1Status),     CLIMATE_LIVE_COLUMN(ExtFan2Status),
    CLIMATE_LIVE_COLUMN(CompressorOn),      CLIMATE_LIVE_COLUMN(HeaterOn),
    CLIMATE_LIVE_COLUMN(ForcedOutput),      CLIMATE_LIVE_COLUMN(IntFan1Alarm),
    CLIMATE_LIVE_COLUMN(IntFan2Alarm),      CLIMATE_LIVE_COLUMN(ExtFan1Alarm),
    CLIMATE_LIVE_COLUMN(ExtFan2Alarm),      CLIMATE_LIVE_COLUMN(CompressorAlarm1),
    CLIMATE_LIVE_COLUMN(CompressorAlarm2),  CLIMATE_LIVE_COLUMN(HeaterAlarm),
    CLIMATE_LIVE_COLUMN(TempSensor1Alarm),  CLIMATE_LIVE_COLUMN(TempSensor2Alarm),
    CLIMATE_LIVE_COLUMN(VoltageAlarm1),     CLIMATE_LIVE_COLUMN(VoltageAlarm2),
    CLIMATE_LIVE_COLUMN(HighTempAlarm),     CLIMATE_LIVE_COLUMN(LowTempAlarm),
    CLIMATE_LIVE_COLUMN(HighPressureAlarm), CLIMATE_LIVE_COLUMN(LowPressureAlarm),
};

#undef CLIMATE_LIVE_COLUMN

// Shortest text that reads back as the same value: 1500, 25.3, -4.
QString valueText(double value) {
    return QString::number(value, 'g', 15);
}

} // namespace

std::span<const LiveColumn> liveColumns() {
    return Columns;
}

QByteArray csvHeader() {
    QByteArray header = "time";
    for (const LiveColumn& column : Columns) {
        header += ',';
        header += column.name;
    }
    return header;
}

QByteArray csvLine(const QString& time, const LiveData& live) {
    QString line = time;
    for (const LiveColumn& column : Columns) {
        line += QLatin1Char(',') + valueText(column.value(live));
    }
    return line.toUtf8();
}

QJsonObject jsonSample(const QString& time, const LiveData& live) {
    QJsonObject sample{{QStringLiteral("time"), time}};
    for (const LiveColumn& column : Columns) {
        sample.insert(QLatin1String(column.name), column.value(live));
    }
    return sample;
}

} // namespace climate::cli

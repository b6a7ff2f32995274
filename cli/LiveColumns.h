#pragma once

#include "realtime/LiveData.h"

#include <QByteArray>
#include <QJsonObject>

#include <span>

namespace climate::cli {

// One value of the live record as the command line prints it: its column name and how to read it.
struct LiveColumn {
    const char* name;
    double (*value)(const realtime::LiveData& live);
};

// Every value of the live record, measurements first, then settings, outputs and alarms; speeds
// in RPM, temperatures in deg C, the voltage in V, currents in A, flags 0 or 1.
[[nodiscard]] std::span<const LiveColumn> liveColumns();

// "time,InternalFan1Rev,...": the CSV header.
[[nodiscard]] QByteArray csvHeader();
// One CSV line (without the line end): the time, then the values; tenths keep one decimal.
[[nodiscard]] QByteArray csvLine(const QString& time, const realtime::LiveData& live);
// {"time": ..., "InternalFan1Rev": 1500, ...}
[[nodiscard]] QJsonObject jsonSample(const QString& time, const realtime::LiveData& live);

} // namespace climate::cli

#pragma once

#include "realtime/LiveData.h"

#include <QByteArray>
#include <QString>

namespace climate::cli {

// Every live channel, in the channel table's order (measurements first, then settings, outputs
// and alarms), each under its one title: "Temperature 1 (°C)", "Heater on". Speeds in RPM,
// temperatures in deg C, the voltage in V, currents in A, flags 0 or 1.

// "time,Internal fan 1 (RPM),...": the CSV header.
[[nodiscard]] QByteArray csvHeader();
// One CSV line (without the line end): the time, then the values; tenths keep one decimal.
[[nodiscard]] QByteArray csvLine(const QString& time, const realtime::LiveData& live);
// {"time": ..., "Internal fan 1 (RPM)": 1500, ...} as compact JSON text, the keys in the table's
// order.
[[nodiscard]] QByteArray jsonSample(const QString& time, const realtime::LiveData& live);

} // namespace climate::cli

#pragma once

#include <QString>

namespace climate::monitor {

class BusLog;
struct BusEntry;

// The monitor's list written out for a bug report or a spreadsheet. Both forms carry, per entry,
// the time (ms since the monitor started, wall clock), direction, hex bytes, meaning and outcome.

// "01 03 00 00" (upper case).
[[nodiscard]] QString hexText(const BusEntry& entry);

// RFC 4180 CSV with a header row; fields quoted where they need it, lines ending in CRLF.
[[nodiscard]] QString toCsv(const BusLog& log);
// Aligned text for reading: the counters first, then one line per entry.
[[nodiscard]] QString toText(const BusLog& log);

enum class ExportFormat { Csv, Text };
// Writes the whole file or nothing (an earlier file of that name stays intact on failure).
// False with `error` set when it cannot be written.
bool saveLog(const BusLog& log, const QString& path, ExportFormat format, QString* error = nullptr);

} // namespace climate::monitor

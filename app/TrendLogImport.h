#pragma once

#include <QString>

namespace climate::trend {
class TrendHistory;
}

namespace climate::app {

// Reads a test-log workbook of this tool into a trend history (cleared first): each record at its
// local time, with the channels the log keeps; where two records lie more than LogGapMs apart
// (polling stopped in between) the lines break. Throws report::WorkbookReadError with the
// sentence to show when the file cannot be read.
void importTestLog(const QString& path, trend::TrendHistory& into);

inline constexpr long long LogGapMs = 60'000;

} // namespace climate::app

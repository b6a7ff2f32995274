#pragma once

#include "TrendHistory.h"

#include <QString>

#include <span>

namespace climate::trend {

// The samples as CSV text: a heading row, then one line per row with its time in ISO 8601 (UTC,
// to the millisecond, "2026-12-11T00:43:42.165+00:00") and one column per channel, empty where the
// channel has no value.
[[nodiscard]] QString trendCsv(std::span<const TrendRow> rows);

} // namespace climate::trend

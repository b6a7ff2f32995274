#pragma once

#include <QString>

namespace climate::widgets {

// The value as instruments write it: fixed decimals, always '.' as decimal point whatever the
// locale, and never "-0.0" for a value that rounds to zero.
[[nodiscard]] QString formatInstrumentValue(double value, int decimals);

// The value followed by a space and its unit, or the bare value when the unit is empty:
// "25.3 ℃", "1450 RPM".
[[nodiscard]] QString formatInstrumentValue(double value, int decimals, const QString& unit);

} // namespace climate::widgets

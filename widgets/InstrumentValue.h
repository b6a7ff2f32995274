#pragma once

#include <QString>

namespace climate::widgets {

// What an instrument that shows a number tells assistive technology: its value, its range and the
// value as text with its unit ("1450 RPM", "-10.0 ℃"). Implemented by the value widgets next to
// QWidget; the accessible interface reads it without knowing the widget's kind.
class InstrumentValue {
public:
    virtual ~InstrumentValue() = default;

    [[nodiscard]] virtual double instrumentValue() const = 0;
    // A readout shows any number; it has no range to report.
    [[nodiscard]] virtual bool hasRange() const { return true; }
    [[nodiscard]] virtual double instrumentMinimum() const = 0;
    [[nodiscard]] virtual double instrumentMaximum() const = 0;
    [[nodiscard]] virtual QString valueText() const = 0;

protected:
    InstrumentValue() = default;
    InstrumentValue(const InstrumentValue&) = default;
    InstrumentValue& operator=(const InstrumentValue&) = default;
};

} // namespace climate::widgets

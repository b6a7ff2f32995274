#pragma once

#include "InstrumentValue.h"
#include "PixmapCache.h"

#include <QString>
#include <QWidget>

namespace climate::widgets {

// What the instruments that show one number (Dial, Thermometer, Odometer, NumericReadout) share:
// the value, its range, the unit and decimals of the value text, and the cached background that a
// new palette, font or style redraws. Each changes in one way here: a NaN is ignored, the same
// value again changes nothing, a new value repaints and is announced to assistive technology.
class ValueInstrument : public QWidget, public InstrumentValue {
    Q_OBJECT

public:
    [[nodiscard]] double minimum() const { return m_minimum; }
    [[nodiscard]] double maximum() const { return m_maximum; }

    // Unit read out with the value ("1450 RPM").
    void setUnitText(const QString& unit);
    [[nodiscard]] QString unitText() const { return m_unitText; }
    // Decimals of the value text (0 ... 6).
    void setDecimals(int decimals);
    [[nodiscard]] int decimals() const { return m_decimals; }

    [[nodiscard]] double instrumentValue() const override { return m_value; }
    [[nodiscard]] double instrumentMinimum() const override { return m_minimum; }
    [[nodiscard]] double instrumentMaximum() const override { return m_maximum; }
    // The value with its decimals and unit: "25.3 ℃".
    [[nodiscard]] QString valueText() const override;

protected:
    ValueInstrument(double minimum, double maximum, int decimals, QWidget* parent);

    // Holds a new range, its ends in order; false (nothing held) for a NaN end or the same range.
    bool holdRange(double minimum, double maximum);
    // Holds a new value, repaints and announces it; false (nothing held) for NaN or the same value.
    bool holdValue(double value);
    [[nodiscard]] double heldValue() const { return m_value; }

    // A new unit: repaints; an instrument that prints its unit redraws its background too.
    virtual void unitChanged() { update(); }

    // What does not move; dropped when the palette, the font or the style changes.
    [[nodiscard]] PixmapCache& background() { return m_background; }
    void changeEvent(QEvent* event) override;

private:
    PixmapCache m_background;
    double m_minimum;
    double m_maximum;
    double m_value = 0.0;
    int m_decimals;
    QString m_unitText;
};

} // namespace climate::widgets

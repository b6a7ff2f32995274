#pragma once

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

namespace climate::widgets {

class InstrumentValue;

// Accessible face of an instrument that shows a number (dial, thermometer, odometer, readout,
// LED bar): read-only value, range, and the value as text with its unit.
class AccessibleInstrument : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    AccessibleInstrument(QWidget* widget, const InstrumentValue* value, QAccessible::Role role);

    [[nodiscard]] QString text(QAccessible::Text t) const override;
    [[nodiscard]] QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    [[nodiscard]] QVariant currentValue() const override;
    // Instruments show what the program sets; assistive technology cannot move them.
    void setCurrentValue(const QVariant& value) override;
    [[nodiscard]] QVariant maximumValue() const override;
    [[nodiscard]] QVariant minimumValue() const override;
    [[nodiscard]] QVariant minimumStepSize() const override;

private:
    const InstrumentValue* m_value;
};

} // namespace climate::widgets

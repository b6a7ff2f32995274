#pragma once

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

namespace climate::widgets {

class RotarySwitch;

// A rotary switch reads as a dial whose value text is the label of the position it shows.
// Setting its value turns it like a hand would: the picture only.
class AccessibleRotarySwitch : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleRotarySwitch(RotarySwitch* rotary);

    [[nodiscard]] QString text(QAccessible::Text t) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    [[nodiscard]] QVariant currentValue() const override;
    void setCurrentValue(const QVariant& value) override;
    [[nodiscard]] QVariant maximumValue() const override;
    [[nodiscard]] QVariant minimumValue() const override;
    [[nodiscard]] QVariant minimumStepSize() const override;

private:
    [[nodiscard]] RotarySwitch* rotary() const;
};

} // namespace climate::widgets

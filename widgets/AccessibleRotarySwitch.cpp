#include "AccessibleRotarySwitch.h"

#include "RotarySwitch.h"

#include <algorithm>

namespace climate::widgets {

AccessibleRotarySwitch::AccessibleRotarySwitch(RotarySwitch* rotary)
    : QAccessibleWidget(rotary, QAccessible::Dial) {}

RotarySwitch* AccessibleRotarySwitch::rotary() const {
    return static_cast<RotarySwitch*>(widget());
}

QString AccessibleRotarySwitch::text(QAccessible::Text t) const {
    if (t == QAccessible::Value)
        return rotary()->displayedLabel();
    return QAccessibleWidget::text(t);
}

void* AccessibleRotarySwitch::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QVariant AccessibleRotarySwitch::currentValue() const {
    return rotary()->displayedPosition();
}

void AccessibleRotarySwitch::setCurrentValue(const QVariant& value) {
    bool ok = false;
    const int position = value.toInt(&ok);
    if (ok)
        rotary()->turnTo(position);
}

QVariant AccessibleRotarySwitch::maximumValue() const {
    return std::max(0, static_cast<int>(rotary()->positionLabels().size()) - 1);
}

QVariant AccessibleRotarySwitch::minimumValue() const {
    return 0;
}

QVariant AccessibleRotarySwitch::minimumStepSize() const {
    return 1;
}

} // namespace climate::widgets

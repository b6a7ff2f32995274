#include "AccessibleInstrument.h"

#include "InstrumentValue.h"

AccessibleInstrument::AccessibleInstrument(QWidget* widget, const InstrumentValue* value,
                                           QAccessible::Role role)
    : QAccessibleWidget(widget, role), value_(value) {}

QString AccessibleInstrument::text(QAccessible::Text t) const {
    if (t == QAccessible::Value)
        return value_->valueText();
    return QAccessibleWidget::text(t);
}

QAccessible::State AccessibleInstrument::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    return s;
}

void* AccessibleInstrument::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QVariant AccessibleInstrument::currentValue() const {
    return value_->instrumentValue();
}

void AccessibleInstrument::setCurrentValue(const QVariant& /*value*/) {}

QVariant AccessibleInstrument::maximumValue() const {
    return value_->hasRange() ? QVariant(value_->instrumentMaximum()) : QVariant();
}

QVariant AccessibleInstrument::minimumValue() const {
    return value_->hasRange() ? QVariant(value_->instrumentMinimum()) : QVariant();
}

QVariant AccessibleInstrument::minimumStepSize() const {
    return 0.0;
}

#include "AccessibleInstrument.h"

#include "InstrumentValue.h"

namespace climate::widgets {

AccessibleInstrument::AccessibleInstrument(QWidget* widget, const InstrumentValue* value,
                                           QAccessible::Role role)
    : QAccessibleWidget(widget, role), m_value(value) {}

QString AccessibleInstrument::text(QAccessible::Text t) const {
    if (t == QAccessible::Value)
        return m_value->valueText();
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
    return m_value->instrumentValue();
}

void AccessibleInstrument::setCurrentValue(const QVariant& /*value*/) {}

QVariant AccessibleInstrument::maximumValue() const {
    return m_value->hasRange() ? QVariant(m_value->instrumentMaximum()) : QVariant();
}

QVariant AccessibleInstrument::minimumValue() const {
    return m_value->hasRange() ? QVariant(m_value->instrumentMinimum()) : QVariant();
}

QVariant AccessibleInstrument::minimumStepSize() const {
    return 0.0;
}

} // namespace climate::widgets

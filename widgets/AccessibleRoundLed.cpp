#include "AccessibleRoundLed.h"

#include "RoundLed.h"

namespace climate::widgets {

AccessibleRoundLed::AccessibleRoundLed(RoundLed* led)
    : QAccessibleWidget(led, QAccessible::Indicator) {}

RoundLed* AccessibleRoundLed::led() const {
    return static_cast<RoundLed*>(widget());
}

QString AccessibleRoundLed::text(QAccessible::Text t) const {
    if (t == QAccessible::Value)
        return led()->isActive() ? QStringLiteral("on") : QStringLiteral("off");
    return QAccessibleWidget::text(t);
}

QAccessible::State AccessibleRoundLed::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = led()->isActive();
    s.readOnly = true;
    return s;
}

} // namespace climate::widgets

#include "AccessibleRockerSwitch.h"

#include "RockerSwitch.h"

namespace climate::widgets {

AccessibleRockerSwitch::AccessibleRockerSwitch(RockerSwitch* rocker)
    : QAccessibleWidget(rocker, QAccessible::CheckBox) {}

RockerSwitch* AccessibleRockerSwitch::rocker() const {
    return static_cast<RockerSwitch*>(widget());
}

QString AccessibleRockerSwitch::text(QAccessible::Text t) const {
    if (t == QAccessible::Value)
        return rocker()->isOn() ? QStringLiteral("on") : QStringLiteral("off");
    return QAccessibleWidget::text(t);
}

QAccessible::State AccessibleRockerSwitch::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = rocker()->isOn();
    return s;
}

QStringList AccessibleRockerSwitch::actionNames() const {
    return QStringList{pressAction(), toggleAction()} + QAccessibleWidget::actionNames();
}

void AccessibleRockerSwitch::doAction(const QString& actionName) {
    if (actionName == pressAction() || actionName == toggleAction()) {
        rocker()->press();
        return;
    }
    QAccessibleWidget::doAction(actionName);
}

} // namespace climate::widgets

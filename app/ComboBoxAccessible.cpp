#include "ComboBoxAccessible.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>

namespace {

QAccessibleInterface* comboBoxFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("QComboBox") && object != nullptr && object->isWidgetType()) {
        return new ComboBoxAccessible(static_cast<QWidget*>(object));
    }
    return nullptr;
}

} // namespace

ComboBoxAccessible::ComboBoxAccessible(QWidget* widget)
    : QAccessibleWidget(widget, QAccessible::ComboBox) {}

void ComboBoxAccessible::install() {
    QAccessible::installFactory(comboBoxFactory);
}

QComboBox* ComboBoxAccessible::comboBox() const {
    return static_cast<QComboBox*>(object());
}

QString ComboBoxAccessible::text(QAccessible::Text kind) const {
    if (kind == QAccessible::Value) {
        return comboBox()->currentText();
    }
    return QAccessibleWidget::text(kind);
}

QAccessible::State ComboBoxAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.expandable = true;
    state.expanded = comboBox()->view() != nullptr && comboBox()->view()->isVisible();
    state.collapsed = !state.expanded;
    state.editable = comboBox()->isEditable();
    return state;
}

QStringList ComboBoxAccessible::actionNames() const {
    return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
}

void ComboBoxAccessible::doAction(const QString& action) {
    if (action == showMenuAction() || action == pressAction()) {
        comboBox()->showPopup();
        return;
    }
    QAccessibleWidget::doAction(action);
}

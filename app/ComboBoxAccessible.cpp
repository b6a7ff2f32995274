#include "ComboBoxAccessible.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QEvent>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMetaObject>

namespace climate::app {

namespace {

QAccessibleInterface* comboBoxFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("QComboBox") && object != nullptr && object->isWidgetType()) {
        return new ComboBoxAccessible(static_cast<QWidget*>(object));
    }
    return nullptr;
}

// The entry the box shows: its current index, unless the text typed into an editable box no
// longer matches that entry.
QModelIndex shownEntry(const QComboBox* combo) {
    const int row = combo->currentIndex();
    if (row < 0 || (combo->isEditable() && combo->currentText() != combo->itemText(row))) {
        return {};
    }
    return combo->model()->index(row, combo->modelColumn(), combo->rootModelIndex());
}

void announceChoice(QComboBox* combo) {
    ComboBoxAccessible::keepSelectionInStep(combo);
    if (QAccessible::isActive()) {
        QAccessibleEvent event(combo, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
    }
}

// Keeps one box's list in step with its current entry. It follows every change of the entry, also
// those made with the box's signals blocked (the port list rebuilds itself so) by watching the
// model, and the closing of the list, which leaves the entry the user highlighted but did not
// choose selected.
//
// The list closes before the box takes the choice: a click or Return in the open list hides it,
// then hands the box the list's current entry. So the closing is followed once the events of that
// choice are done, never during them; moving the list's current entry while it closes would hand
// the box its old entry (or none) instead of the chosen one.
class ChoiceFollower : public QObject {
public:
    explicit ChoiceFollower(QComboBox* combo) : QObject(combo), m_combo(combo) {
        setObjectName(QLatin1String(Name));
        const auto follow = [this] { announceChoice(m_combo); };
        connect(combo, &QComboBox::currentIndexChanged, this, follow);
        connect(combo, &QComboBox::editTextChanged, this, follow);
        QAbstractItemModel* model = combo->model();
        connect(model, &QAbstractItemModel::modelReset, this, follow);
        connect(model, &QAbstractItemModel::rowsInserted, this, follow);
        connect(model, &QAbstractItemModel::rowsRemoved, this, follow);
        if (QWidget* popup = combo->view()->window(); popup != combo->window()) {
            popup->installEventFilter(this);
        }
        ComboBoxAccessible::keepSelectionInStep(combo);
    }

    static void follow(QComboBox* combo) {
        if (combo->findChild<QObject*>(QLatin1String(Name), Qt::FindDirectChildrenOnly) ==
            nullptr) {
            new ChoiceFollower(combo);
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Hide) {
            QMetaObject::invokeMethod(
                this, [this] { ComboBoxAccessible::keepSelectionInStep(m_combo); },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static constexpr const char* Name = "choiceFollower";

    QComboBox* m_combo;
};

} // namespace

ComboBoxAccessible::ComboBoxAccessible(QWidget* widget)
    : QAccessibleWidget(widget, QAccessible::ComboBox) {
    ChoiceFollower::follow(comboBox());
}

void ComboBoxAccessible::install() {
    QAccessible::installFactory(comboBoxFactory);
}

void ComboBoxAccessible::keepSelectionInStep(QComboBox* combo) {
    QAbstractItemView* list = combo->view();
    QItemSelectionModel* selection = list != nullptr ? list->selectionModel() : nullptr;
    if (selection == nullptr) {
        return;
    }
    // While the list is open, the highlighted entry is the user's to move. (The list's window is
    // asked: while it closes, the list itself still counts as visible.)
    if (QWidget* popup = list->window(); popup != combo->window() && popup->isVisible()) {
        return;
    }
    const QModelIndex entry = shownEntry(combo);
    if (entry.isValid()) {
        if (selection->currentIndex() != entry || !selection->isSelected(entry)) {
            selection->setCurrentIndex(entry, QItemSelectionModel::ClearAndSelect);
        }
    } else if (selection->hasSelection()) {
        selection->clear();
    }
}

QComboBox* ComboBoxAccessible::comboBox() const {
    return static_cast<QComboBox*>(object());
}

QString ComboBoxAccessible::text(QAccessible::Text kind) const {
    switch (kind) {
    case QAccessible::Value:
        return comboBox()->currentText();
    case QAccessible::Description: {
        // What the box shows, in the entry's own words when it has some (the port list describes
        // each adapter).
        if (!comboBox()->accessibleDescription().isEmpty()) {
            return comboBox()->accessibleDescription();
        }
        const QModelIndex entry = shownEntry(comboBox());
        const QString described =
            entry.isValid() ? entry.data(Qt::AccessibleDescriptionRole).toString() : QString();
        return described.isEmpty() ? comboBox()->currentText() : described;
    }
    default:
        return QAccessibleWidget::text(kind);
    }
}

QAccessible::State ComboBoxAccessible::state() const {
    QAccessible::State state = QAccessibleWidget::state();
    state.expandable = true;
    state.expanded = comboBox()->view() != nullptr && comboBox()->view()->isVisible();
    state.collapsed = !state.expanded;
    state.editable = comboBox()->isEditable();
    return state;
}

int ComboBoxAccessible::childCount() const {
    return comboBox()->lineEdit() != nullptr ? 2 : 1;
}

QAccessibleInterface* ComboBoxAccessible::child(int index) const {
    if (index == 0) {
        return QAccessible::queryAccessibleInterface(comboBox()->view());
    }
    if (index == 1 && comboBox()->lineEdit() != nullptr) {
        return QAccessible::queryAccessibleInterface(comboBox()->lineEdit());
    }
    return nullptr;
}

int ComboBoxAccessible::indexOfChild(const QAccessibleInterface* child) const {
    if (child == nullptr) {
        return -1;
    }
    if (child->object() == comboBox()->view()) {
        return 0;
    }
    if (comboBox()->lineEdit() != nullptr && child->object() == comboBox()->lineEdit()) {
        return 1;
    }
    return -1;
}

QAccessibleInterface* ComboBoxAccessible::childAt(int x, int y) const {
    QLineEdit* edit = comboBox()->lineEdit();
    if (edit != nullptr && edit->isVisible() &&
        QRect(edit->mapToGlobal(QPoint(0, 0)), edit->size()).contains(x, y)) {
        return child(1);
    }
    QAbstractItemView* list = comboBox()->view();
    if (list != nullptr && list->isVisible() &&
        QRect(list->mapToGlobal(QPoint(0, 0)), list->size()).contains(x, y)) {
        return child(0);
    }
    return nullptr;
}

QAccessibleInterface* ComboBoxAccessible::focusChild() const {
    if (comboBox()->view() != nullptr && comboBox()->view()->isVisible()) {
        return child(0);
    }
    return comboBox()->lineEdit() != nullptr ? child(1) : nullptr;
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

} // namespace climate::app

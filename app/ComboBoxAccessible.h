#pragma once

#include <QAccessibleWidget>

class QComboBox;

namespace climate::app {

// A combo box as assistive technology sees it. Qt's own combo box interface (not exported, so it
// cannot be derived from) names a box after its current text on this platform, so two boxes
// showing "Enable" would read alike; this one is named by the box's label. Like Qt's, it has the
// drop-down list as its first child (one item per entry, the current one SELECTED) and, when the
// box is editable, its edit field as the second; its description is the current choice.
class ComboBoxAccessible : public QAccessibleWidget {
public:
    explicit ComboBoxAccessible(QWidget* widget);

    [[nodiscard]] QString text(QAccessible::Text kind) const override;
    [[nodiscard]] QAccessible::State state() const override;

    [[nodiscard]] int childCount() const override;
    [[nodiscard]] QAccessibleInterface* child(int index) const override;
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override;
    [[nodiscard]] QAccessibleInterface* childAt(int x, int y) const override;
    [[nodiscard]] QAccessibleInterface* focusChild() const override;

    [[nodiscard]] QStringList actionNames() const override;
    void doAction(const QString& action) override;

    // Registers the interface for every QComboBox of the application.
    static void install();

    // Selects the box's current entry in its drop-down list, as opening the list would. Qt
    // selects it only when the list is first shown, so after a programmatic change the list
    // would otherwise offer no current entry to assistive technology. Called on every change
    // once the box has an interface; callable directly.
    static void keepSelectionInStep(QComboBox* combo);

private:
    [[nodiscard]] QComboBox* comboBox() const;
};

} // namespace climate::app

#pragma once

#include <QAccessibleWidget>

class QComboBox;

// A combo box as assistive technology sees it: named by its label (Qt's own combo box interface
// names a box after its current text on this platform, so two boxes showing "Enable" would read
// alike), its current text as the value, and the drop-down as an action.
class ComboBoxAccessible : public QAccessibleWidget {
public:
    explicit ComboBoxAccessible(QWidget* widget);

    [[nodiscard]] QString text(QAccessible::Text kind) const override;
    [[nodiscard]] QAccessible::State state() const override;
    [[nodiscard]] QStringList actionNames() const override;
    void doAction(const QString& action) override;

    // Registers the interface for every QComboBox of the application.
    static void install();

private:
    [[nodiscard]] QComboBox* comboBox() const;
};

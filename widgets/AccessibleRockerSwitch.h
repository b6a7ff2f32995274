#pragma once

#include <QAccessibleWidget>

namespace climate::widgets {

class RockerSwitch;

// A rocker switch reads as a check box. Its press and toggle actions do what a mouse click does:
// the click notification first, then the flip.
class AccessibleRockerSwitch : public QAccessibleWidget {
public:
    explicit AccessibleRockerSwitch(RockerSwitch* rocker);

    [[nodiscard]] QString text(QAccessible::Text t) const override;
    [[nodiscard]] QAccessible::State state() const override;
    [[nodiscard]] QStringList actionNames() const override;
    void doAction(const QString& actionName) override;

private:
    [[nodiscard]] RockerSwitch* rocker() const;
};

} // namespace climate::widgets

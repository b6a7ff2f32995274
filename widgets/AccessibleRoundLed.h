#pragma once

#include <QAccessibleWidget>

namespace climate::widgets {

class RoundLed;

// An LED reads as a checkable indicator: checked while lit, value text "on" or "off".
class AccessibleRoundLed : public QAccessibleWidget {
public:
    explicit AccessibleRoundLed(RoundLed* led);

    [[nodiscard]] QString text(QAccessible::Text t) const override;
    [[nodiscard]] QAccessible::State state() const override;

private:
    [[nodiscard]] RoundLed* led() const;
};

} // namespace climate::widgets

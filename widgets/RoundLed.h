#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

namespace climate::widgets {

// A round, glossy indicator lamp. Unlit it shows its lit colour dimmed. One pixmap per state is
// kept, so blinking costs a copy.
class RoundLed : public QWidget {
    Q_OBJECT

public:
    explicit RoundLed(QWidget* parent = nullptr);

    void setActiveColor(const QColor& color);
    [[nodiscard]] QColor activeColor() const { return m_activeColor; }
    // The colour shown while unlit.
    [[nodiscard]] QColor inactiveColor() const;

    void setActive(bool active);
    [[nodiscard]] bool isActive() const { return m_active; }

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

signals:
    void activeChanged(bool active);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    [[nodiscard]] QPixmap renderLamp(bool lit) const;
    void invalidate();

    QColor m_activeColor{0, 255, 0};
    bool m_active = false;
    // Index 0 unlit, 1 lit; null until first needed at the current size.
    QPixmap m_lamps[2];
};

} // namespace climate::widgets

#pragma once

#include <QColor>
#include <QWidget>

namespace climate::widgets {

// A two-position rocker switch in a housing, on a coloured background.
//
// A mouse click emits clicked() while the switch still shows its old state, then flips it; a
// slot connected to clicked() (with a direct connection) therefore reads the state from before
// the click. The space bar, while focused, flips it with no clicked(). setOn() from the program
// emits nothing. toggled() follows every flip made by the user or press(), for observers.
class RockerSwitch : public QWidget {
    Q_OBJECT

public:
    explicit RockerSwitch(QWidget* parent = nullptr);

    void setOn(bool on);
    [[nodiscard]] bool isOn() const { return m_on; }

    void setBackgroundColor(const QColor& color);
    [[nodiscard]] QColor backgroundColor() const { return m_backgroundColor; }

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

public slots:
    // Exactly what a mouse click does: clicked(), then flip.
    void press();

signals:
    void clicked();
    void toggled(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void flip();

    QColor m_backgroundColor{255, 0, 255};
    bool m_on = false;
    bool m_mouseDown = false;
};

} // namespace climate::widgets

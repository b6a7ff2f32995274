#pragma once

#include "PixmapCache.h"

#include <QColor>
#include <QFont>
#include <QStringList>
#include <QWidget>

namespace climate::widgets {

// A rotary selector switch with a bar knob and a labelled position for each entry of its label
// list. It is an indicator the program sets: turning it by hand (mouse or keys) moves only the
// picture, displayedPosition(), until the program sets it again; position() stays what the
// program set last.
class RotarySwitch : public QWidget {
    Q_OBJECT

public:
    explicit RotarySwitch(QWidget* parent = nullptr);

    void setPositionLabels(const QStringList& labels);
    [[nodiscard]] QStringList positionLabels() const { return m_labels; }

    // Index into the labels, held within them. Also brings the picture back to it.
    void setPosition(int position);
    [[nodiscard]] int position() const { return m_position; }
    [[nodiscard]] QString positionLabel() const;

    [[nodiscard]] int displayedPosition() const { return m_displayed; }
    [[nodiscard]] QString displayedLabel() const;

    void setPointerColor(const QColor& color);
    [[nodiscard]] QColor pointerColor() const { return m_pointerColor; }

    // Angle of a position, in degrees clockwise from 12 o'clock.
    [[nodiscard]] double positionAngle(int position) const;

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

signals:
    void positionChanged(int position);
    void displayedPositionChanged(int position);

public slots:
    // Turn the knob by hand: changes the picture only.
    void turnTo(int position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct Layout {
        QPointF centre;
        double radius = 0.0;
        QFont font;
        QList<QRectF> labelRects;
    };

    [[nodiscard]] Layout layoutFor(const QFont& labelFont, double radius,
                                   const QPointF& centre) const;
    [[nodiscard]] Layout largestLayout(const QFont& labelFont) const;
    // The layout for the current size, worked out again only when size, font or labels change.
    [[nodiscard]] const Layout& layout() const;
    void invalidateLayout() { m_layoutSize = QSize(); }
    [[nodiscard]] int positionNearest(const QPointF& point) const;
    [[nodiscard]] int clampedPosition(int position) const;
    void drawBackground(QPainter* painter) const;
    void drawKnob(QPainter* painter) const;

    QStringList m_labels;
    QColor m_pointerColor{0, 128, 255};
    int m_position = 0;
    int m_displayed = 0;
    mutable Layout m_layout;
    mutable QSize m_layoutSize;
    PixmapCache m_background;
};

} // namespace climate::widgets

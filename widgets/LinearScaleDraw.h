#pragma once

#include "ScaleDiv.h"
#include "ScaleMap.h"

#include <QString>

class QFont;
class QPainter;
class QPalette;

namespace climate::widgets {

// Paints a straight vertical scale in logical units, beside DialScaleDraw's round one: a base
// line, minor and major ticks to its right, the labels right-aligned at one edge (narrowed where
// the widest would not fit, never below a readable size on screen) and the unit above the top.
// Knows nothing of widgets; the Thermometer glues it in.
class LinearScaleDraw {
public:
    // Where the parts stand, in logical units: ticks from `tickLeft` to `minorRight` or
    // `majorRight`, labels ending at `labelRight` and `labelPixels` tall, the unit's baseline
    // `unitAbove` over the top of the scale.
    struct Layout {
        double tickLeft = 0.0;
        double minorRight = 0.0;
        double majorRight = 0.0;
        double labelRight = 0.0;
        double labelPixels = 14.0;
        double unitAbove = 10.0;
    };

    explicit LinearScaleDraw(Layout layout) : m_layout(layout) {}

    // `heights` maps values to heights (the minimum at the bottom).
    void setScale(const ScaleMap& heights, const ScaleDiv& div);
    void setUnitText(const QString& text) { m_unitText = text; }

    [[nodiscard]] const ScaleMap& heights() const { return m_heights; }

    // `deviceScale` is the painter's logical-to-pixel factor, used to keep text legible.
    void draw(QPainter* painter, const QPalette& palette, const QFont& font,
              double deviceScale) const;

private:
    void drawTicks(QPainter* painter, const QPalette& palette) const;
    void drawLabels(QPainter* painter, const QPalette& palette, const QFont& font,
                    double deviceScale) const;
    void drawUnit(QPainter* painter, const QFont& font, double deviceScale) const;

    Layout m_layout;
    ScaleMap m_heights;
    ScaleDiv m_div = ScaleDiv::divideRound(0.0, 1.0, 6, 1);
    QString m_unitText;
};

} // namespace climate::widgets

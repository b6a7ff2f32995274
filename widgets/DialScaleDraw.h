#pragma once

#include "ScaleDiv.h"
#include "ScaleMap.h"
#include "ScaleSection.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QPainterPath>
#include <QRectF>
#include <QString>

class QPainter;
class QPalette;

namespace climate::widgets {

// Paints a round dial in fixed logical units, centred on (0, 0) with the scale's ticks ending at
// radius 100: bezel, face, coloured sections, ticks, labels and unit (the static background), then
// the pointer and hub, then the glass on top. Knows nothing of widgets; the Dial glues it in.
//
// The face is the convex hull of the scale's arc and a disc round the hub, so a 260° dial gets a
// round face with a flat chin. Arcs of 180° or less get a rounded rectangle round that hull, with
// the labels outside the ticks: a 90° dial becomes a square panel meter pivoting in one corner.
class DialScaleDraw {
public:
    enum class PointerStyle { Needle, ArrowLine };

    void setScale(const ScaleMap& angles, const ScaleDiv& div);
    void setSections(QList<ScaleSection> sections) { m_sections = std::move(sections); }
    void setHubRadius(double radius) { m_hubRadius = radius; }
    void setPointerStyle(PointerStyle style);
    void setPointerWidth(double width);
    void setPointerColor(const QColor& color) { m_pointerColor = color; }
    void setUnitText(const QString& text) { m_unitText = text; }

    [[nodiscard]] const QList<ScaleSection>& sections() const { return m_sections; }
    [[nodiscard]] double hubRadius() const { return m_hubRadius; }
    [[nodiscard]] PointerStyle pointerStyle() const { return m_pointerStyle; }
    [[nodiscard]] double pointerWidth() const { return m_pointerWidth; }
    [[nodiscard]] QColor pointerColor() const { return m_pointerColor; }

    [[nodiscard]] const ScaleMap& angles() const { return m_angles; }
    // Everything drawn, in logical units.
    [[nodiscard]] QRectF boundingRect() const;

    // `deviceScale` is the painter's logical-to-pixel factor, used to keep text legible.
    void drawBackground(QPainter* painter, const QPalette& palette, const QFont& font,
                        double deviceScale) const;
    // Pointer at `value` (held inside the scale), with its shadow and the hub over it.
    void drawPointer(QPainter* painter, double value, const QPalette& palette) const;
    void drawGlass(QPainter* painter) const;

    // Outline of the face, grown outwards by `grow` for the lip and bezel.
    [[nodiscard]] QPainterPath outline(double grow) const;
    // Narrow arcs carry their labels outside the ticks, on a rectangular face.
    [[nodiscard]] bool labelsOutside() const;

private:
    void drawBezel(QPainter* painter, const QPalette& palette) const;
    void drawSections(QPainter* painter) const;
    void drawTicks(QPainter* painter, const QPalette& palette) const;
    void drawLabels(QPainter* painter, const QPalette& palette, const QFont& font,
                    double deviceScale) const;
    void drawUnit(QPainter* painter, const QPalette& palette, const QFont& font,
                  double deviceScale) const;
    void drawHub(QPainter* painter, const QPalette& palette) const;
    [[nodiscard]] QPainterPath makePointerShape() const;
    [[nodiscard]] double hubDiscRadius() const;
    [[nodiscard]] double faceRadius() const;

    ScaleMap m_angles = ScaleMap::dialAngles(0.0, 100.0, 225.0, 270.0);
    ScaleDiv m_div = ScaleDiv::divide(0.0, 100.0, 5, 4);
    QList<ScaleSection> m_sections;
    double m_hubRadius = 11.0;
    double m_pointerWidth = 8.0;
    PointerStyle m_pointerStyle = PointerStyle::Needle;
    QColor m_pointerColor{205, 35, 30};
    QString m_unitText;
    // Built when style or width change, not on every paint.
    QPainterPath m_pointerShape = makePointerShape();
};

} // namespace climate::widgets

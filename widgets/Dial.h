#pragma once

#include "DialScaleDraw.h"
#include "PixmapCache.h"
#include "ScaleSection.h"
#include "ValueInstrument.h"

#include <QList>
#include <QWidget>

namespace climate::widgets {

// A round dial with a bezel, coloured scale sections, ticks, labels and a pointer.
//
// Angles are counter-clockwise from 3 o'clock; a rising value turns the pointer clockwise from the
// start angle through the arc. A position outside the range is held as given (position() returns
// it) but drawn at the nearest end of the scale. The last coloured section always reaches the
// maximum. Sizes (hub radius, pointer width) are in the dial's logical units, in which the ticks
// end at radius 100 whatever the widget's size. The scale draw holds the sections, the pointer and
// the hub; the dial holds the range, the arc and the ticks it divides the scale by.
class Dial : public ValueInstrument {
    Q_OBJECT

public:
    using PointerStyle = DialScaleDraw::PointerStyle;

    explicit Dial(QWidget* parent = nullptr);

    void setRange(double minimum, double maximum);

    // Sections low to high; stored as drawn, the last one stretched or cut to the maximum.
    void setSections(QList<ScaleSection> sections);
    [[nodiscard]] QList<ScaleSection> sections() const;
    [[nodiscard]] QColor sectionColorAt(double value) const;

    // Start angle and sweep in degrees; the sweep is kept within (0, 360].
    void setArc(double startAngleDeg, double spanDeg);
    [[nodiscard]] double startAngle() const { return m_startAngle; }
    [[nodiscard]] double spanAngle() const { return m_spanAngle; }

    void setPointerStyle(PointerStyle style);
    [[nodiscard]] PointerStyle pointerStyle() const { return m_draw.pointerStyle(); }
    void setPointerColor(const QColor& color);
    [[nodiscard]] QColor pointerColor() const { return m_draw.pointerColor(); }
    void setPointerWidth(double logicalWidth);
    [[nodiscard]] double pointerWidth() const { return m_draw.pointerWidth(); }
    void setHubRadius(double logicalRadius);
    [[nodiscard]] double hubRadius() const { return m_draw.hubRadius(); }

    // Labelled ticks including both ends (at least 2), with four minor ticks between two of them.
    void setMajorTicks(int count);
    [[nodiscard]] int majorTicks() const { return m_majorTicks; }

    // The unit (setUnitText) is read out with the value ("1450 RPM") and printed on the face.
    // The value text's decimals (not the scale labels') are 0 by default.

    void setPosition(double position);
    [[nodiscard]] double position() const { return heldValue(); }

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

signals:
    void positionChanged(double position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void unitChanged() override;

private:
    void updateScaleDraw();
    [[nodiscard]] QTransform logicalTransform() const;

    DialScaleDraw m_draw;
    PixmapCache m_glass;
    double m_startAngle = 225.0;
    double m_spanAngle = 270.0;
    static constexpr int MinorTicksPerInterval = 4;

    int m_majorTicks = 5;
};

} // namespace climate::widgets

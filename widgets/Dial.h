#pragma once

#include "DialScaleDraw.h"
#include "InstrumentValue.h"
#include "PixmapCache.h"
#include "ScaleSection.h"

#include <QList>
#include <QWidget>

namespace climate::widgets {

// A round dial with a bezel, coloured scale sections, ticks, labels and a pointer.
//
// Angles are counter-clockwise from 3 o'clock; a rising value turns the pointer clockwise from the
// start angle through the arc. A position outside the range is held as given (position() returns
// it) but drawn at the nearest end of the scale. The last coloured section always reaches the
// maximum. Sizes (hub radius, pointer width) are in the dial's logical units, in which the ticks
// end at radius 100 whatever the widget's size.
class Dial : public QWidget, public InstrumentValue {
    Q_OBJECT

public:
    using PointerStyle = DialScaleDraw::PointerStyle;

    explicit Dial(QWidget* parent = nullptr);

    void setRange(double minimum, double maximum);
    [[nodiscard]] double minimum() const { return m_minimum; }
    [[nodiscard]] double maximum() const { return m_maximum; }

    // Sections low to high; stored as drawn, the last one stretched or cut to the maximum.
    void setSections(QList<ScaleSection> sections);
    [[nodiscard]] QList<ScaleSection> sections() const;
    [[nodiscard]] QColor sectionColorAt(double value) const;

    // Start angle and sweep in degrees; the sweep is kept within (0, 360].
    void setArc(double startAngleDeg, double spanDeg);
    [[nodiscard]] double startAngle() const { return m_startAngle; }
    [[nodiscard]] double spanAngle() const { return m_spanAngle; }

    void setPointerStyle(PointerStyle style);
    [[nodiscard]] PointerStyle pointerStyle() const { return m_pointerStyle; }
    void setPointerColor(const QColor& color);
    [[nodiscard]] QColor pointerColor() const { return m_pointerColor; }
    void setPointerWidth(double logicalWidth);
    [[nodiscard]] double pointerWidth() const { return m_pointerWidth; }
    void setHubRadius(double logicalRadius);
    [[nodiscard]] double hubRadius() const { return m_hubRadius; }

    // Labelled ticks including both ends (at least 2), and minor ticks between two of them.
    void setMajorTicks(int count);
    [[nodiscard]] int majorTicks() const { return m_majorTicks; }
    void setMinorTicks(int countPerInterval);
    [[nodiscard]] int minorTicks() const { return m_minorTicks; }

    // Unit read out with the value ("1450 RPM") and, unless turned off, printed on the face.
    void setUnitText(const QString& unit);
    [[nodiscard]] QString unitText() const { return m_unitText; }
    void setUnitOnFace(bool shown);
    [[nodiscard]] bool unitOnFace() const { return m_unitOnFace; }
    // Decimals of the value text (not of the scale labels); 0 by default.
    void setDecimals(int decimals);
    [[nodiscard]] int decimals() const { return m_decimals; }

    void setPosition(double position);
    [[nodiscard]] double position() const { return m_position; }

    [[nodiscard]] double instrumentValue() const override { return m_position; }
    [[nodiscard]] double instrumentMinimum() const override { return m_minimum; }
    [[nodiscard]] double instrumentMaximum() const override { return m_maximum; }
    [[nodiscard]] QString valueText() const override;

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

signals:
    void positionChanged(double position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void updateScaleDraw();
    [[nodiscard]] QTransform logicalTransform() const;

    DialScaleDraw m_draw;
    PixmapCache m_background;
    PixmapCache m_glass;
    QList<ScaleSection> m_sections;
    double m_minimum = 0.0;
    double m_maximum = 100.0;
    double m_startAngle = 225.0;
    double m_spanAngle = 270.0;
    double m_position = 0.0;
    double m_pointerWidth = 8.0;
    double m_hubRadius = 11.0;
    int m_majorTicks = 5;
    int m_minorTicks = 4;
    int m_decimals = 0;
    bool m_unitOnFace = true;
    PointerStyle m_pointerStyle = PointerStyle::Needle;
    QColor m_pointerColor{205, 35, 30};
    QString m_unitText;
};

} // namespace climate::widgets

#pragma once

#include "DialScaleDraw.h"
#include "InstrumentValue.h"
#include "PixmapCache.h"
#include "ScaleSection.h"

#include <QList>
#include <QWidget>

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
    [[nodiscard]] double minimum() const { return minimum_; }
    [[nodiscard]] double maximum() const { return maximum_; }

    // Sections low to high; stored as drawn, the last one stretched or cut to the maximum.
    void setSections(QList<ScaleSection> sections);
    [[nodiscard]] QList<ScaleSection> sections() const;
    [[nodiscard]] QColor sectionColorAt(double value) const;

    // Start angle and sweep in degrees; the sweep is kept within (0, 360].
    void setArc(double startAngleDeg, double spanDeg);
    [[nodiscard]] double startAngle() const { return startAngle_; }
    [[nodiscard]] double spanAngle() const { return spanAngle_; }

    void setPointerStyle(PointerStyle style);
    [[nodiscard]] PointerStyle pointerStyle() const { return pointerStyle_; }
    void setPointerColor(const QColor& color);
    [[nodiscard]] QColor pointerColor() const { return pointerColor_; }
    void setPointerWidth(double logicalWidth);
    [[nodiscard]] double pointerWidth() const { return pointerWidth_; }
    void setHubRadius(double logicalRadius);
    [[nodiscard]] double hubRadius() const { return hubRadius_; }

    // Labelled ticks including both ends (at least 2), and minor ticks between two of them.
    void setMajorTicks(int count);
    [[nodiscard]] int majorTicks() const { return majorTicks_; }
    void setMinorTicks(int countPerInterval);
    [[nodiscard]] int minorTicks() const { return minorTicks_; }

    // Unit read out with the value ("1450 RPM") and, unless turned off, printed on the face.
    void setUnitText(const QString& unit);
    [[nodiscard]] QString unitText() const { return unitText_; }
    void setUnitOnFace(bool shown);
    [[nodiscard]] bool unitOnFace() const { return unitOnFace_; }
    // Decimals of the value text (not of the scale labels); 0 by default.
    void setDecimals(int decimals);
    [[nodiscard]] int decimals() const { return decimals_; }

    void setPosition(double position);
    [[nodiscard]] double position() const { return position_; }

    [[nodiscard]] double instrumentValue() const override { return position_; }
    [[nodiscard]] double instrumentMinimum() const override { return minimum_; }
    [[nodiscard]] double instrumentMaximum() const override { return maximum_; }
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

    DialScaleDraw draw_;
    PixmapCache background_;
    PixmapCache glass_;
    QList<ScaleSection> sections_;
    double minimum_ = 0.0;
    double maximum_ = 100.0;
    double startAngle_ = 225.0;
    double spanAngle_ = 270.0;
    double position_ = 0.0;
    double pointerWidth_ = 8.0;
    double hubRadius_ = 11.0;
    int majorTicks_ = 5;
    int minorTicks_ = 4;
    int decimals_ = 0;
    bool unitOnFace_ = true;
    PointerStyle pointerStyle_ = PointerStyle::Needle;
    QColor pointerColor_{205, 35, 30};
    QString unitText_;
};

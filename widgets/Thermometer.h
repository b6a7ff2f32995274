#pragma once

#include "LinearScaleDraw.h"
#include "ValueInstrument.h"

#include <QColor>
#include <QWidget>

namespace climate::widgets {

// A glass thermometer on a scale plate: the column is filled from the minimum up to the value.
// A position outside the range is held as given but drawn at the nearest end of the tube.
// The unit is printed at the top of the plate and read out with the value ("-10.0 ℃"); the value
// text has 1 decimal by default.
class Thermometer : public ValueInstrument {
    Q_OBJECT

public:
    explicit Thermometer(QWidget* parent = nullptr);

    void setRange(double minimum, double maximum);

    void setPosition(double position);
    [[nodiscard]] double position() const { return heldValue(); }

    void setLiquidColor(const QColor& color);
    [[nodiscard]] QColor liquidColor() const { return m_liquidColor; }

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

signals:
    void positionChanged(double position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void unitChanged() override;

private:
    void updateScale();
    void drawBackground(QPainter* painter, double deviceScale) const;
    void drawLiquid(QPainter* painter) const;
    void drawGlassHighlight(QPainter* painter) const;

    LinearScaleDraw m_scale;
    QColor m_liquidColor{210, 24, 24};
};

} // namespace climate::widgets

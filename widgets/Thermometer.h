#pragma once

#include "InstrumentValue.h"
#include "PixmapCache.h"

#include <QColor>
#include <QWidget>

namespace climate::widgets {

// A glass thermometer on a scale plate: the column is filled from the minimum up to the value.
// A position outside the range is held as given but drawn at the nearest end of the tube.
class Thermometer : public QWidget, public InstrumentValue {
    Q_OBJECT

public:
    explicit Thermometer(QWidget* parent = nullptr);

    void setRange(double minimum, double maximum);
    [[nodiscard]] double minimum() const { return m_minimum; }
    [[nodiscard]] double maximum() const { return m_maximum; }

    void setPosition(double position);
    [[nodiscard]] double position() const { return m_position; }

    void setLiquidColor(const QColor& color);
    [[nodiscard]] QColor liquidColor() const { return m_liquidColor; }

    // Unit printed at the top of the plate and read out with the value ("-10.0 ℃").
    void setUnitText(const QString& unit);
    [[nodiscard]] QString unitText() const { return m_unitText; }
    // Decimals of the value text; 1 by default.
    void setDecimals(int decimals);
    [[nodiscard]] int decimals() const { return m_decimals; }

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
    void drawBackground(QPainter* painter, double deviceScale) const;
    void drawLiquid(QPainter* painter) const;
    void drawGlassHighlight(QPainter* painter) const;

    PixmapCache m_background;
    double m_minimum = -40.0;
    double m_maximum = 80.0;
    double m_position = 0.0;
    int m_decimals = 1;
    QColor m_liquidColor{210, 24, 24};
    QString m_unitText;
};

} // namespace climate::widgets

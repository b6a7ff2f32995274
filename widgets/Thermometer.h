#pragma once

#include "InstrumentValue.h"
#include "PixmapCache.h"

#include <QColor>
#include <QWidget>

// A glass thermometer on a scale plate: the column is filled from the minimum up to the value.
// A position outside the range is held as given but drawn at the nearest end of the tube.
class Thermometer : public QWidget, public InstrumentValue {
    Q_OBJECT

public:
    explicit Thermometer(QWidget* parent = nullptr);

    void setRange(double minimum, double maximum);
    [[nodiscard]] double minimum() const { return minimum_; }
    [[nodiscard]] double maximum() const { return maximum_; }

    void setPosition(double position);
    [[nodiscard]] double position() const { return position_; }

    void setLiquidColor(const QColor& color);
    [[nodiscard]] QColor liquidColor() const { return liquidColor_; }

    // Unit printed at the top of the plate and read out with the value ("-10.0 ℃").
    void setUnitText(const QString& unit);
    [[nodiscard]] QString unitText() const { return unitText_; }
    // Decimals of the value text; 1 by default.
    void setDecimals(int decimals);
    [[nodiscard]] int decimals() const { return decimals_; }

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
    void drawBackground(QPainter* painter, double deviceScale) const;
    void drawLiquid(QPainter* painter) const;
    void drawGlassHighlight(QPainter* painter) const;

    PixmapCache background_;
    double minimum_ = -40.0;
    double maximum_ = 80.0;
    double position_ = 0.0;
    int decimals_ = 1;
    QColor liquidColor_{210, 24, 24};
    QString unitText_;
};

#pragma once

#include "PixmapCache.h"
#include "ValueInstrument.h"

#include <QWidget>

namespace climate::widgets {

// A mechanical counter of four drums with white bold digits, showing whole numbers with leading
// zeros and no tenths. The value is rounded to the nearest whole number. A negative value is held,
// and shown, as 0; a value above 9999 is held as given but shows only its last four digits, as a
// real counter that has rolled over (12345 shows "2345").
class Odometer : public ValueInstrument {
    Q_OBJECT

public:
    static constexpr int Digits = 4;

    explicit Odometer(QWidget* parent = nullptr);

    void setValue(double value);
    [[nodiscard]] double value() const { return heldValue(); }
    // The four digits on the drums.
    [[nodiscard]] QString displayText() const;
    // The number the drums show, without leading zeros.
    [[nodiscard]] int displayedNumber() const;

    // What the drums show, as a number with its unit ("1450 RPM"); the range is what four drums
    // show, 0 ... 9999.
    [[nodiscard]] QString valueText() const override;

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

signals:
    void valueChanged(double value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawBackground(QPainter* painter) const;
    void drawDigits(QPainter* painter, double deviceScale) const;
    void drawDrumShade(QPainter* painter) const;

    PixmapCache m_shade;
};

} // namespace climate::widgets

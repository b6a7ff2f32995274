#pragma once

#include "InstrumentValue.h"
#include "PixmapCache.h"

#include <QWidget>

namespace climate::widgets {

// A recessed display field that shows a value followed by its unit ("25.3 ℃", "12.5 A"), always
// with '.' as decimal point whatever the locale. Display only: a disabled readout keeps its
// colours, since it never takes input anyway.
class NumericReadout : public QWidget, public InstrumentValue {
    Q_OBJECT

public:
    explicit NumericReadout(QWidget* parent = nullptr);

    void setValue(double value);
    [[nodiscard]] double value() const { return m_value; }

    void setUnit(const QString& unit);
    [[nodiscard]] QString unit() const { return m_unit; }
    // Same as setUnit, under the name the other instruments use.
    void setUnitText(const QString& unit) { setUnit(unit); }
    [[nodiscard]] QString unitText() const { return m_unit; }

    // Decimals shown; 1 by default.
    void setDecimals(int decimals);
    [[nodiscard]] int decimals() const { return m_decimals; }

    // What the field shows.
    [[nodiscard]] QString text() const;

    [[nodiscard]] double instrumentValue() const override { return m_value; }
    [[nodiscard]] bool hasRange() const override { return false; }
    [[nodiscard]] double instrumentMinimum() const override { return m_value; }
    [[nodiscard]] double instrumentMaximum() const override { return m_value; }
    [[nodiscard]] QString valueText() const override { return text(); }

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

signals:
    void valueChanged(double value);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void drawField(QPainter* painter, const QRectF& field) const;

    PixmapCache m_background;
    double m_value = 0.0;
    int m_decimals = 1;
    QString m_unit;
};

} // namespace climate::widgets

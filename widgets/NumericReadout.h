#pragma once

#include "ValueInstrument.h"

#include <QWidget>

namespace climate::widgets {

// A recessed display field that shows a value followed by its unit ("25.3 ℃", "12.5 A"), always
// with '.' as decimal point whatever the locale. Display only: a disabled readout keeps its
// colours, since it never takes input anyway.
class NumericReadout : public ValueInstrument {
    Q_OBJECT

public:
    explicit NumericReadout(QWidget* parent = nullptr);

    void setValue(double value);
    [[nodiscard]] double value() const { return heldValue(); }

    // The unit shown after the value (setUnitText under the readout's own name); the value has
    // 1 decimal by default.
    void setUnit(const QString& unit) { setUnitText(unit); }
    [[nodiscard]] QString unit() const { return unitText(); }

    // What the field shows.
    [[nodiscard]] QString text() const { return valueText(); }

    // A readout shows any number: its range is its value.
    [[nodiscard]] bool hasRange() const override { return false; }
    [[nodiscard]] double instrumentMinimum() const override { return heldValue(); }
    [[nodiscard]] double instrumentMaximum() const override { return heldValue(); }

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

signals:
    void valueChanged(double value);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawField(QPainter* painter, const QRectF& field) const;
};

} // namespace climate::widgets

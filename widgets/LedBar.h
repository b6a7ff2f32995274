#pragma once

#include "InstrumentValue.h"

#include <QColor>
#include <QWidget>

namespace climate::widgets {

// A row of LED segments from 0 to 100, filling to the right in section colour 1; the segments not
// reached glow dimly in the same colour. The background is transparent. Segment size and spacing
// are in pixels so the segments stay sharp-edged.
class LedBar : public QWidget, public InstrumentValue {
    Q_OBJECT

public:
    explicit LedBar(QWidget* parent = nullptr);

    // Held within 0..100.
    void setPosition(double position);
    [[nodiscard]] double position() const { return m_position; }

    void setSectionColor1(const QColor& color);
    [[nodiscard]] QColor sectionColor1() const { return m_sectionColor1; }

    // Segments are 4 pixels wide.
    void setSegmentSpacing(int pixels);

    // Segments that fit the current width, and how many of them the position lights.
    [[nodiscard]] int segmentCount() const;
    [[nodiscard]] int litSegmentCount() const;

    void setUnitText(const QString& unit);
    [[nodiscard]] QString unitText() const { return m_unitText; }

    [[nodiscard]] double instrumentValue() const override { return m_position; }
    [[nodiscard]] double instrumentMinimum() const override { return 0.0; }
    [[nodiscard]] double instrumentMaximum() const override { return 100.0; }
    [[nodiscard]] QString valueText() const override;

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

signals:
    void positionChanged(double position);
    void sectionColor1Changed(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    [[nodiscard]] QRectF segmentRect(int index) const;

    double m_position = 0.0;
    QColor m_sectionColor1{0, 255, 64};
    static constexpr int SegmentSize = 4;

    int m_segmentSpacing = 1;
    QString m_unitText;
};

} // namespace climate::widgets

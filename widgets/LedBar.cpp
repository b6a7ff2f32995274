#include "LedBar.h"

#include "InstrumentAccessibility.h"
#include "InstrumentPainting.h"
#include "ValueText.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace climate::widgets {

namespace {

constexpr int Margin = 1;

} // namespace

LedBar::LedBar(QWidget* parent) : QWidget(parent) {
    // Only the segments are painted; whatever lies behind shows between them.
    setAutoFillBackground(false);
}

void LedBar::setPosition(double position) {
    if (std::isnan(position)) {
        return;
    }
    position = std::clamp(position, 0.0, 100.0);
    if (position == m_position) {
        return;
    }
    m_position = position;
    update();
    notifyAccessibleValue(this, m_position);
    emit positionChanged(m_position);
}

void LedBar::setSectionColor1(const QColor& color) {
    if (!color.isValid() || color == m_sectionColor1) {
        return;
    }
    m_sectionColor1 = color;
    update();
    emit sectionColor1Changed(m_sectionColor1);
}

void LedBar::setSegmentSpacing(int pixels) {
    pixels = std::clamp(pixels, 0, 50);
    if (pixels == m_segmentSpacing) {
        return;
    }
    m_segmentSpacing = pixels;
    update();
}

int LedBar::segmentCount() const {
    const int room = width() - 2 * Margin + m_segmentSpacing;
    return std::max(0, room / (SegmentSize + m_segmentSpacing));
}

int LedBar::litSegmentCount() const {
    // A segment lights once the position reaches its middle: 0 lights none, 100 lights all.
    const int count = segmentCount();
    return std::clamp(static_cast<int>(std::floor(m_position / 100.0 * count + 0.5)), 0, count);
}

void LedBar::setUnitText(const QString& unit) {
    m_unitText = unit;
}

QString LedBar::valueText() const {
    return formatInstrumentValue(m_position, 0, m_unitText);
}

QSize LedBar::sizeHint() const {
    return {161, 23};
}

QSize LedBar::minimumSizeHint() const {
    return {30, 6};
}

QRectF LedBar::segmentRect(int index) const {
    const int count = segmentCount();
    // The row is centred, so the spare pixels split evenly between both ends.
    const int used = count * SegmentSize + std::max(0, count - 1) * m_segmentSpacing;
    const int left = (width() - used) / 2;
    return QRectF(left + index * (SegmentSize + m_segmentSpacing), Margin, SegmentSize,
                  height() - 2 * Margin);
}

void LedBar::paintEvent(QPaintEvent* /*event*/) {
    const int count = segmentCount();
    const int lit = litSegmentCount();
    const QColor on = m_sectionColor1;
    const QColor off = InstrumentPainting::dimmed(m_sectionColor1);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double h = height() - 2.0 * Margin;
    QLinearGradient litFill(0, Margin, 0, Margin + h);
    litFill.setColorAt(0.0, on.lighter(150));
    litFill.setColorAt(0.45, on);
    litFill.setColorAt(1.0, on.darker(140));
    QLinearGradient offFill(0, Margin, 0, Margin + h);
    offFill.setColorAt(0.0, off.lighter(130));
    offFill.setColorAt(1.0, off.darker(130));

    painter.setPen(Qt::NoPen);
    const double radius = std::min(1.2, SegmentSize / 3.0);
    for (int i = 0; i < count; ++i) {
        painter.setBrush(i < lit ? QBrush(litFill) : QBrush(offFill));
        painter.drawRoundedRect(segmentRect(i), radius, radius);
    }
}

} // namespace climate::widgets

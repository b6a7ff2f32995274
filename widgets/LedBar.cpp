#include "LedBar.h"

#include "InstrumentAccessibility.h"
#include "InstrumentPainting.h"
#include "ValueText.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMargin = 1;

} // namespace

LedBar::LedBar(QWidget* parent) : QWidget(parent) {
    // Only the segments are painted; whatever lies behind shows between them.
    setAutoFillBackground(false);
}

void LedBar::setPosition(double position) {
    if (std::isnan(position))
        return;
    position = std::clamp(position, 0.0, 100.0);
    if (position == position_)
        return;
    position_ = position;
    update();
    notifyAccessibleValue(this, position_);
    emit positionChanged(position_);
}

void LedBar::setSectionColor1(const QColor& color) {
    if (!color.isValid() || color == sectionColor1_)
        return;
    sectionColor1_ = color;
    update();
    emit sectionColor1Changed(sectionColor1_);
}

void LedBar::setSegmentSpacing(int pixels) {
    pixels = std::clamp(pixels, 0, 50);
    if (pixels == segmentSpacing_)
        return;
    segmentSpacing_ = pixels;
    update();
}

void LedBar::setSegmentSize(int pixels) {
    pixels = std::clamp(pixels, 1, 100);
    if (pixels == segmentSize_)
        return;
    segmentSize_ = pixels;
    update();
}

int LedBar::segmentCount() const {
    const int room = width() - 2 * kMargin + segmentSpacing_;
    return std::max(0, room / (segmentSize_ + segmentSpacing_));
}

int LedBar::litSegmentCount() const {
    // A segment lights once the position reaches its middle: 0 lights none, 100 lights all.
    const int count = segmentCount();
    return std::clamp(static_cast<int>(std::floor(position_ / 100.0 * count + 0.5)), 0, count);
}

void LedBar::setUnitText(const QString& unit) {
    unitText_ = unit;
}

QString LedBar::valueText() const {
    return formatInstrumentValue(position_, 0, unitText_);
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
    const int used = count * segmentSize_ + std::max(0, count - 1) * segmentSpacing_;
    const int left = (width() - used) / 2;
    return QRectF(left + index * (segmentSize_ + segmentSpacing_), kMargin, segmentSize_,
                  height() - 2 * kMargin);
}

void LedBar::paintEvent(QPaintEvent* /*event*/) {
    const int count = segmentCount();
    const int lit = litSegmentCount();
    const QColor on = sectionColor1_;
    const QColor off = InstrumentPainting::dimmed(sectionColor1_);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double h = height() - 2.0 * kMargin;
    QLinearGradient litFill(0, kMargin, 0, kMargin + h);
    litFill.setColorAt(0.0, on.lighter(150));
    litFill.setColorAt(0.45, on);
    litFill.setColorAt(1.0, on.darker(140));
    QLinearGradient offFill(0, kMargin, 0, kMargin + h);
    offFill.setColorAt(0.0, off.lighter(130));
    offFill.setColorAt(1.0, off.darker(130));

    painter.setPen(Qt::NoPen);
    const double radius = std::min(1.2, segmentSize_ / 3.0);
    for (int i = 0; i < count; ++i) {
        painter.setBrush(i < lit ? QBrush(litFill) : QBrush(offFill));
        painter.drawRoundedRect(segmentRect(i), radius, radius);
    }
}

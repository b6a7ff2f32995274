#include "Dial.h"

#include "InstrumentAccessibility.h"
#include "InstrumentPainting.h"
#include "ScaleDiv.h"
#include "ScaleMap.h"
#include "ValueText.h"

#include <QEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Logical units to pixels at the size hint; the dial is legible down to about half of it.
constexpr double kHintScale = 0.64;
constexpr double kMinimumScale = 0.34;

} // namespace

Dial::Dial(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    updateScaleDraw();
}

void Dial::setRange(double minimum, double maximum) {
    if (std::isnan(minimum) || std::isnan(maximum))
        return;
    if (minimum > maximum)
        std::swap(minimum, maximum);
    if (minimum == minimum_ && maximum == maximum_)
        return;
    minimum_ = minimum;
    maximum_ = maximum;
    sections_ = sectionsReachingMaximum(sections_, maximum_);
    updateScaleDraw();
}

void Dial::setSections(QList<ScaleSection> sections) {
    sections = sectionsReachingMaximum(std::move(sections), maximum_);
    if (sections == sections_)
        return;
    sections_ = std::move(sections);
    updateScaleDraw();
}

QList<ScaleSection> Dial::sections() const {
    return sections_;
}

QColor Dial::sectionColorAt(double value) const {
    return ::sectionColorAt(sections_, value);
}

void Dial::setArc(double startAngleDeg, double spanDeg) {
    if (!std::isfinite(startAngleDeg) || !std::isfinite(spanDeg))
        return;
    spanDeg = std::clamp(spanDeg, 1.0, 360.0);
    if (startAngleDeg == startAngle_ && spanDeg == spanAngle_)
        return;
    startAngle_ = startAngleDeg;
    spanAngle_ = spanDeg;
    updateScaleDraw();
    updateGeometry();
}

void Dial::setPointerStyle(PointerStyle style) {
    if (style == pointerStyle_)
        return;
    pointerStyle_ = style;
    draw_.setPointerStyle(style);
    update();
}

void Dial::setPointerColor(const QColor& color) {
    if (color == pointerColor_)
        return;
    pointerColor_ = color;
    draw_.setPointerColor(color);
    update();
}

void Dial::setPointerWidth(double logicalWidth) {
    logicalWidth = std::clamp(logicalWidth, 1.0, 30.0);
    if (logicalWidth == pointerWidth_)
        return;
    pointerWidth_ = logicalWidth;
    draw_.setPointerWidth(logicalWidth);
    update();
}

void Dial::setHubRadius(double logicalRadius) {
    logicalRadius = std::clamp(logicalRadius, 2.0, 40.0);
    if (logicalRadius == hubRadius_)
        return;
    hubRadius_ = logicalRadius;
    // The hub's size also shapes the face.
    updateScaleDraw();
    updateGeometry();
}

void Dial::setMajorTicks(int count) {
    count = std::max(2, count);
    if (count == majorTicks_)
        return;
    majorTicks_ = count;
    updateScaleDraw();
}

void Dial::setMinorTicks(int countPerInterval) {
    countPerInterval = std::clamp(countPerInterval, 0, 20);
    if (countPerInterval == minorTicks_)
        return;
    minorTicks_ = countPerInterval;
    updateScaleDraw();
}

void Dial::setUnitText(const QString& unit) {
    if (unit == unitText_)
        return;
    unitText_ = unit;
    updateScaleDraw();
}

void Dial::setUnitOnFace(bool shown) {
    if (shown == unitOnFace_)
        return;
    unitOnFace_ = shown;
    updateScaleDraw();
}

void Dial::setDecimals(int decimals) {
    decimals_ = std::clamp(decimals, 0, 6);
}

void Dial::setPosition(double position) {
    if (std::isnan(position) || position == position_)
        return;
    position_ = position;
    update();
    notifyAccessibleValue(this, position_);
    emit positionChanged(position_);
}

QString Dial::valueText() const {
    return formatInstrumentValue(position_, decimals_, unitText_);
}

QSize Dial::sizeHint() const {
    const QRectF box = draw_.boundingRect();
    return {static_cast<int>(std::ceil(box.width() * kHintScale)) + 2,
            static_cast<int>(std::ceil(box.height() * kHintScale)) + 2};
}

QSize Dial::minimumSizeHint() const {
    const QRectF box = draw_.boundingRect();
    return {static_cast<int>(std::ceil(box.width() * kMinimumScale)),
            static_cast<int>(std::ceil(box.height() * kMinimumScale))};
}

void Dial::updateScaleDraw() {
    const ScaleMap angles = ScaleMap::dialAngles(minimum_, maximum_, startAngle_, spanAngle_);
    draw_.setScale(angles, ScaleDiv::divide(minimum_, maximum_, majorTicks_, minorTicks_));
    draw_.setSections(sections_);
    draw_.setHubRadius(hubRadius_);
    draw_.setPointerStyle(pointerStyle_);
    draw_.setPointerWidth(pointerWidth_);
    draw_.setPointerColor(pointerColor_);
    draw_.setUnitText(unitOnFace_ ? unitText_ : QString());
    background_.invalidate();
    glass_.invalidate();
    update();
}

QTransform Dial::logicalTransform() const {
    return InstrumentPainting::fit(draw_.boundingRect(), QRectF(rect()).adjusted(1, 1, -1, -1));
}

void Dial::paintEvent(QPaintEvent* /*event*/) {
    const qreal dpr = devicePixelRatioF();
    const QTransform transform = logicalTransform();
    const double scale =
        InstrumentPainting::fitScale(draw_.boundingRect(), QRectF(rect()).adjusted(1, 1, -1, -1));
    if (!background_.isValid(size(), dpr)) {
        QPainter p(&background_.rebuild(size(), dpr));
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setTransform(transform);
        draw_.drawBackground(&p, palette(), font(), scale);
    }
    if (!glass_.isValid(size(), dpr)) {
        QPainter p(&glass_.rebuild(size(), dpr));
        p.setRenderHint(QPainter::Antialiasing);
        p.setTransform(transform);
        draw_.drawGlass(&p);
    }

    QPainter painter(this);
    painter.drawPixmap(0, 0, background_.pixmap());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(transform, true);
    draw_.drawPointer(&painter, position_, palette());
    painter.restore();
    painter.drawPixmap(0, 0, glass_.pixmap());
}

void Dial::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::PaletteChange:
    case QEvent::FontChange:
    case QEvent::StyleChange:
        background_.invalidate();
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

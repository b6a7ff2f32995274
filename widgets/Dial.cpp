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

namespace climate::widgets {

namespace {

// Logical units to pixels at the size hint; the dial is legible down to about half of it.
constexpr double HintScale = 0.64;
constexpr double MinimumScale = 0.34;

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
    if (minimum == m_minimum && maximum == m_maximum)
        return;
    m_minimum = minimum;
    m_maximum = maximum;
    m_sections = sectionsReachingMaximum(m_sections, m_maximum);
    updateScaleDraw();
}

void Dial::setSections(QList<ScaleSection> sections) {
    sections = sectionsReachingMaximum(std::move(sections), m_maximum);
    if (sections == m_sections)
        return;
    m_sections = std::move(sections);
    updateScaleDraw();
}

QList<ScaleSection> Dial::sections() const {
    return m_sections;
}

QColor Dial::sectionColorAt(double value) const {
    return climate::widgets::sectionColorAt(m_sections, value);
}

void Dial::setArc(double startAngleDeg, double spanDeg) {
    if (!std::isfinite(startAngleDeg) || !std::isfinite(spanDeg))
        return;
    spanDeg = std::clamp(spanDeg, 1.0, 360.0);
    if (startAngleDeg == m_startAngle && spanDeg == m_spanAngle)
        return;
    m_startAngle = startAngleDeg;
    m_spanAngle = spanDeg;
    updateScaleDraw();
    updateGeometry();
}

void Dial::setPointerStyle(PointerStyle style) {
    if (style == m_pointerStyle)
        return;
    m_pointerStyle = style;
    m_draw.setPointerStyle(style);
    update();
}

void Dial::setPointerColor(const QColor& color) {
    if (color == m_pointerColor)
        return;
    m_pointerColor = color;
    m_draw.setPointerColor(color);
    update();
}

void Dial::setPointerWidth(double logicalWidth) {
    logicalWidth = std::clamp(logicalWidth, 1.0, 30.0);
    if (logicalWidth == m_pointerWidth)
        return;
    m_pointerWidth = logicalWidth;
    m_draw.setPointerWidth(logicalWidth);
    update();
}

void Dial::setHubRadius(double logicalRadius) {
    logicalRadius = std::clamp(logicalRadius, 2.0, 40.0);
    if (logicalRadius == m_hubRadius)
        return;
    m_hubRadius = logicalRadius;
    // The hub's size also shapes the face.
    updateScaleDraw();
    updateGeometry();
}

void Dial::setMajorTicks(int count) {
    count = std::max(2, count);
    if (count == m_majorTicks)
        return;
    m_majorTicks = count;
    updateScaleDraw();
}

void Dial::setMinorTicks(int countPerInterval) {
    countPerInterval = std::clamp(countPerInterval, 0, 20);
    if (countPerInterval == m_minorTicks)
        return;
    m_minorTicks = countPerInterval;
    updateScaleDraw();
}

void Dial::setUnitText(const QString& unit) {
    if (unit == m_unitText)
        return;
    m_unitText = unit;
    updateScaleDraw();
}

void Dial::setUnitOnFace(bool shown) {
    if (shown == m_unitOnFace)
        return;
    m_unitOnFace = shown;
    updateScaleDraw();
}

void Dial::setDecimals(int decimals) {
    m_decimals = std::clamp(decimals, 0, 6);
}

void Dial::setPosition(double position) {
    if (std::isnan(position) || position == m_position)
        return;
    m_position = position;
    update();
    notifyAccessibleValue(this, m_position);
    emit positionChanged(m_position);
}

QString Dial::valueText() const {
    return formatInstrumentValue(m_position, m_decimals, m_unitText);
}

QSize Dial::sizeHint() const {
    const QRectF box = m_draw.boundingRect();
    return {static_cast<int>(std::ceil(box.width() * HintScale)) + 2,
            static_cast<int>(std::ceil(box.height() * HintScale)) + 2};
}

QSize Dial::minimumSizeHint() const {
    const QRectF box = m_draw.boundingRect();
    return {static_cast<int>(std::ceil(box.width() * MinimumScale)),
            static_cast<int>(std::ceil(box.height() * MinimumScale))};
}

void Dial::updateScaleDraw() {
    const ScaleMap angles = ScaleMap::dialAngles(m_minimum, m_maximum, m_startAngle, m_spanAngle);
    m_draw.setScale(angles, ScaleDiv::divide(m_minimum, m_maximum, m_majorTicks, m_minorTicks));
    m_draw.setSections(m_sections);
    m_draw.setHubRadius(m_hubRadius);
    m_draw.setPointerStyle(m_pointerStyle);
    m_draw.setPointerWidth(m_pointerWidth);
    m_draw.setPointerColor(m_pointerColor);
    m_draw.setUnitText(m_unitOnFace ? m_unitText : QString());
    m_background.invalidate();
    m_glass.invalidate();
    update();
}

QTransform Dial::logicalTransform() const {
    return InstrumentPainting::fit(m_draw.boundingRect(), QRectF(rect()).adjusted(1, 1, -1, -1));
}

void Dial::paintEvent(QPaintEvent* /*event*/) {
    const qreal dpr = devicePixelRatioF();
    const QTransform transform = logicalTransform();
    const double scale =
        InstrumentPainting::fitScale(m_draw.boundingRect(), QRectF(rect()).adjusted(1, 1, -1, -1));
    if (!m_background.isValid(size(), dpr)) {
        QPainter p(&m_background.rebuild(size(), dpr));
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setTransform(transform);
        m_draw.drawBackground(&p, palette(), font(), scale);
    }
    if (!m_glass.isValid(size(), dpr)) {
        QPainter p(&m_glass.rebuild(size(), dpr));
        p.setRenderHint(QPainter::Antialiasing);
        p.setTransform(transform);
        m_draw.drawGlass(&p);
    }

    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background.pixmap());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(transform, true);
    m_draw.drawPointer(&painter, m_position, palette());
    painter.restore();
    painter.drawPixmap(0, 0, m_glass.pixmap());
}

void Dial::changeEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::PaletteChange:
    case QEvent::FontChange:
    case QEvent::StyleChange:
        m_background.invalidate();
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

} // namespace climate::widgets

#include "Dial.h"

#include "InstrumentPainting.h"
#include "ScaleDiv.h"
#include "ScaleMap.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace climate::widgets {

namespace {

// Logical units to pixels at the size hint; the dial is legible down to about half of it.
constexpr double HintScale = 0.64;
constexpr double MinimumScale = 0.34;

} // namespace

Dial::Dial(QWidget* parent) : ValueInstrument(0.0, 100.0, 0, parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    updateScaleDraw();
}

void Dial::setRange(double minimum, double maximum) {
    if (!holdRange(minimum, maximum)) {
        return;
    }
    m_draw.setSections(sectionsReachingMaximum(m_draw.sections(), this->maximum()));
    updateScaleDraw();
}

void Dial::setSections(QList<ScaleSection> sections) {
    sections = sectionsReachingMaximum(std::move(sections), maximum());
    if (sections == m_draw.sections()) {
        return;
    }
    m_draw.setSections(std::move(sections));
    updateScaleDraw();
}

QList<ScaleSection> Dial::sections() const {
    return m_draw.sections();
}

QColor Dial::sectionColorAt(double value) const {
    return climate::widgets::sectionColorAt(m_draw.sections(), value);
}

void Dial::setArc(double startAngleDeg, double spanDeg) {
    if (!std::isfinite(startAngleDeg) || !std::isfinite(spanDeg)) {
        return;
    }
    spanDeg = std::clamp(spanDeg, 1.0, 360.0);
    if (startAngleDeg == m_startAngle && spanDeg == m_spanAngle) {
        return;
    }
    m_startAngle = startAngleDeg;
    m_spanAngle = spanDeg;
    updateScaleDraw();
    updateGeometry();
}

void Dial::setPointerStyle(PointerStyle style) {
    if (style == pointerStyle()) {
        return;
    }
    m_draw.setPointerStyle(style);
    update();
}

void Dial::setPointerColor(const QColor& color) {
    if (color == pointerColor()) {
        return;
    }
    m_draw.setPointerColor(color);
    update();
}

void Dial::setPointerWidth(double logicalWidth) {
    logicalWidth = std::clamp(logicalWidth, 1.0, 30.0);
    if (logicalWidth == pointerWidth()) {
        return;
    }
    m_draw.setPointerWidth(logicalWidth);
    update();
}

void Dial::setHubRadius(double logicalRadius) {
    logicalRadius = std::clamp(logicalRadius, 2.0, 40.0);
    if (logicalRadius == hubRadius()) {
        return;
    }
    m_draw.setHubRadius(logicalRadius);
    // The hub's size also shapes the face.
    updateScaleDraw();
    updateGeometry();
}

void Dial::setMajorTicks(int count) {
    count = std::max(2, count);
    if (count == m_majorTicks) {
        return;
    }
    m_majorTicks = count;
    updateScaleDraw();
}

void Dial::unitChanged() {
    updateScaleDraw();
}

void Dial::setPosition(double position) {
    if (holdValue(position)) {
        emit positionChanged(position);
    }
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
    const ScaleMap angles = ScaleMap::dialAngles(minimum(), maximum(), m_startAngle, m_spanAngle);
    m_draw.setScale(angles,
                    ScaleDiv::divide(minimum(), maximum(), m_majorTicks, MinorTicksPerInterval));
    m_draw.setUnitText(unitText());
    background().invalidate();
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
    if (!background().isValid(size(), dpr)) {
        QPainter p(&background().rebuild(size(), dpr));
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
    painter.drawPixmap(0, 0, background().pixmap());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(transform, true);
    m_draw.drawPointer(&painter, position(), palette());
    painter.restore();
    painter.drawPixmap(0, 0, m_glass.pixmap());
}

} // namespace climate::widgets

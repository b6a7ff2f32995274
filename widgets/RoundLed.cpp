#include "RoundLed.h"

#include "InstrumentAccessibility.h"
#include "InstrumentPainting.h"

#include <QEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>

namespace climate::widgets {

namespace {

// Logical design: a lamp of radius 50 round (0, 0).
const QRectF Lamp(-50.0, -50.0, 100.0, 100.0);

} // namespace

RoundLed::RoundLed(QWidget* parent) : QWidget(parent) {}

void RoundLed::setActiveColor(const QColor& color) {
    if (!color.isValid() || color == m_activeColor)
        return;
    m_activeColor = color;
    invalidate();
    update();
}

QColor RoundLed::inactiveColor() const {
    return InstrumentPainting::dimmed(m_activeColor);
}

void RoundLed::setActive(bool active) {
    if (active == m_active)
        return;
    m_active = active;
    update();
    notifyAccessibleChecked(this);
    emit activeChanged(m_active);
}

QSize RoundLed::sizeHint() const {
    return {16, 16};
}

QSize RoundLed::minimumSizeHint() const {
    return {8, 8};
}

void RoundLed::invalidate() {
    m_lamps[0] = QPixmap();
    m_lamps[1] = QPixmap();
}

void RoundLed::paintEvent(QPaintEvent* /*event*/) {
    QPixmap& lamp = m_lamps[m_active ? 1 : 0];
    const qreal dpr = devicePixelRatioF();
    if (lamp.isNull() || lamp.deviceIndependentSize() != QSizeF(size()) ||
        !qFuzzyCompare(lamp.devicePixelRatio(), dpr))
        lamp = renderLamp(m_active);
    QPainter painter(this);
    painter.drawPixmap(0, 0, lamp);
}

QPixmap RoundLed::renderLamp(bool lit) const {
    const qreal dpr = devicePixelRatioF();
    QPixmap pixmap(qCeil(width() * dpr), qCeil(height() * dpr));
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);

    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setTransform(InstrumentPainting::fit(Lamp, QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5)));

    // Bezel: a metal ring, raised outside and sunk inside.
    const QPalette& pal = palette();
    p.setPen(QPen(pal.color(QPalette::Shadow), 2.0));
    p.setBrush(InstrumentPainting::metalGradient(Lamp, pal, true));
    p.drawEllipse(QPointF(0, 0), 49.0, 49.0);
    p.setPen(Qt::NoPen);
    p.setBrush(InstrumentPainting::metalGradient(Lamp, pal, false));
    p.drawEllipse(QPointF(0, 0), 41.0, 41.0);

    // Lens: lit, it glows from the centre; unlit, it is a dark glass of the same hue.
    const QColor colour = lit ? m_activeColor : inactiveColor();
    QRadialGradient lens(QPointF(0, 0), 36.0, QPointF(-6.0, -8.0));
    if (lit) {
        lens.setColorAt(0.0, colour.lighter(135));
        lens.setColorAt(0.55, colour);
        lens.setColorAt(1.0, colour.darker(190));
    } else {
        lens.setColorAt(0.0, colour.lighter(150));
        lens.setColorAt(0.6, colour);
        lens.setColorAt(1.0, colour.darker(170));
    }
    p.setBrush(lens);
    p.setPen(QPen(QColor(0, 0, 0, 130), 1.5));
    p.drawEllipse(QPointF(0, 0), 36.0, 36.0);

    // Specular highlight near the top, the gloss of the dome.
    QLinearGradient gloss(0, -33.0, 0, -2.0);
    gloss.setColorAt(0.0, QColor(255, 255, 255, lit ? 215 : 140));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawEllipse(QRectF(-22.0, -33.0, 44.0, 28.0));
    return pixmap;
}

void RoundLed::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) {
        invalidate();
        update();
    }
    QWidget::changeEvent(event);
}

} // namespace climate::widgets

#include "Thermometer.h"

#include "InstrumentPainting.h"
#include "ScaleDiv.h"
#include "ScaleMap.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace climate::widgets {

namespace {

// The design, in logical units: a plate 60 wide and 240 tall.
const QRectF Plate(0.0, 0.0, 60.0, 240.0);
constexpr double TubeX = 17.0;        // centre line of the tube
constexpr double Bore = 7.0;          // width of the liquid column
constexpr double Glass = 13.0;        // outer width of the glass tube
constexpr double TubeTop = 14.0;      // top of the glass
constexpr double ScaleTop = 26.0;     // the maximum
constexpr double ScaleBottom = 194.0; // the minimum
constexpr double BulbY = 214.0;       // centre of the bulb
constexpr double BulbRadius = 10.5;   // liquid in the bulb
constexpr double BulbGlass = 13.5;    // glass round the bulb
// The scale to the right of the tube, its unit 10 above the maximum.
constexpr LinearScaleDraw::Layout ScaleLayout{.tickLeft = 26.5,
                                              .minorRight = 30.5,
                                              .majorRight = 33.0,
                                              .labelRight = 56.5,
                                              .labelPixels = 14.0,
                                              .unitAbove = 10.0};

QPainterPath tubeShape(double halfWidth, double bulbRadius) {
    QPainterPath path;
    path.addRoundedRect(QRectF(TubeX - halfWidth, TubeTop - (halfWidth - Bore / 2.0), 2 * halfWidth,
                               BulbY - TubeTop),
                        halfWidth, halfWidth);
    path.addEllipse(QPointF(TubeX, BulbY), bulbRadius, bulbRadius);
    path.setFillRule(Qt::WindingFill);
    return path.simplified();
}

} // namespace

Thermometer::Thermometer(QWidget* parent)
    : ValueInstrument(-40.0, 80.0, 1, parent), m_scale(ScaleLayout) {
    updateScale();
}

void Thermometer::setRange(double minimum, double maximum) {
    if (holdRange(minimum, maximum)) {
        updateScale();
    }
}

void Thermometer::setPosition(double position) {
    if (holdValue(position)) {
        emit positionChanged(position);
    }
}

void Thermometer::setLiquidColor(const QColor& color) {
    if (color == m_liquidColor) {
        return;
    }
    m_liquidColor = color;
    update();
}

void Thermometer::unitChanged() {
    updateScale();
}

void Thermometer::updateScale() {
    m_scale.setScale(ScaleMap(minimum(), maximum(), ScaleBottom, ScaleTop),
                     ScaleDiv::divideRound(minimum(), maximum(), 6, 1));
    m_scale.setUnitText(unitText());
    background().invalidate();
    update();
}

QSize Thermometer::sizeHint() const {
    return {40, 150};
}

QSize Thermometer::minimumSizeHint() const {
    return {22, 80};
}

void Thermometer::paintEvent(QPaintEvent* /*event*/) {
    const qreal dpr = devicePixelRatioF();
    const QRectF target = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const QTransform transform = InstrumentPainting::fit(Plate, target);
    if (!background().isValid(size(), dpr)) {
        QPainter p(&background().rebuild(size(), dpr));
        p.setRenderHint(QPainter::Antialiasing);
        p.setTransform(transform);
        drawBackground(&p, InstrumentPainting::fitScale(Plate, target));
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, background().pixmap());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(transform, true);
    drawLiquid(&painter);
    drawGlassHighlight(&painter);
}

void Thermometer::drawBackground(QPainter* painter, double deviceScale) const {
    const QPalette& pal = palette();
    painter->save();

    // Plate: a metal rim round a face in the palette's base colour.
    painter->setPen(QPen(pal.color(QPalette::Shadow), 0.8));
    painter->setBrush(InstrumentPainting::metalGradient(Plate, pal, true));
    painter->drawRoundedRect(Plate.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    const QRectF face = Plate.adjusted(3.5, 3.5, -3.5, -3.5);
    QLinearGradient faceGradient(face.topLeft(), face.topRight());
    faceGradient.setColorAt(0.0, pal.color(QPalette::Base).darker(104));
    faceGradient.setColorAt(0.5, pal.color(QPalette::Base));
    faceGradient.setColorAt(1.0, pal.color(QPalette::Base).darker(108));
    painter->setBrush(faceGradient);
    painter->setPen(QPen(InstrumentPainting::withAlpha(pal.color(QPalette::Shadow), 120), 0.8));
    painter->drawRoundedRect(face, 5, 5);

    // Empty glass: a faint cylinder with its outline.
    const QPainterPath glass = tubeShape(Glass / 2.0, BulbGlass);
    QLinearGradient glassGradient(TubeX - Glass / 2.0, 0, TubeX + Glass / 2.0, 0);
    glassGradient.setColorAt(0.0, QColor(150, 160, 170));
    glassGradient.setColorAt(0.35, QColor(238, 242, 246));
    glassGradient.setColorAt(1.0, QColor(170, 178, 186));
    painter->setBrush(glassGradient);
    painter->setPen(QPen(QColor(90, 96, 104), 0.9));
    painter->drawPath(glass);

    // Scale: ticks, labels and unit to the right of the tube.
    m_scale.draw(painter, pal, font(), deviceScale);
    painter->restore();
}

void Thermometer::drawLiquid(QPainter* painter) const {
    const double top = m_scale.heights().boundedTransform(position());
    painter->save();
    painter->setPen(Qt::NoPen);

    QLinearGradient column(TubeX - Bore / 2.0, 0, TubeX + Bore / 2.0, 0);
    column.setColorAt(0.0, m_liquidColor.darker(150));
    column.setColorAt(0.4, m_liquidColor.lighter(125));
    column.setColorAt(1.0, m_liquidColor.darker(160));
    painter->setBrush(column);
    // The column starts inside the bulb, so the two read as one body of liquid.
    painter->drawRect(QRectF(TubeX - Bore / 2.0, top, Bore, BulbY - top));

    QRadialGradient bulb(QPointF(TubeX - 3.5, BulbY - 4.0), BulbRadius * 1.5);
    bulb.setColorAt(0.0, m_liquidColor.lighter(140));
    bulb.setColorAt(0.5, m_liquidColor);
    bulb.setColorAt(1.0, m_liquidColor.darker(170));
    painter->setBrush(bulb);
    painter->drawEllipse(QPointF(TubeX, BulbY), BulbRadius, BulbRadius);
    painter->restore();
}

void Thermometer::drawGlassHighlight(QPainter* painter) const {
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(255, 255, 255, 110));
    painter->drawRoundedRect(
        QRectF(TubeX - Glass / 2.0 + 2.0, TubeTop + 2.0, 1.8, BulbY - BulbGlass - TubeTop), 0.9,
        0.9);
    painter->drawEllipse(QPointF(TubeX - 5.0, BulbY - 5.0), 2.6, 2.0);
    painter->restore();
}

} // namespace climate::widgets

#include "Thermometer.h"

#include "InstrumentAccessibility.h"
#include "InstrumentPainting.h"
#include "ScaleDiv.h"
#include "ScaleMap.h"
#include "ValueText.h"

#include <QEvent>
#include <QFontMetricsF>
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
constexpr double TickLeft = 26.5;
constexpr double MajorRight = 33.0;
constexpr double MinorRight = 30.5;
constexpr double LabelRight = 56.5;
constexpr double LabelPixels = 14.0;

ScaleMap heightMap(double minimum, double maximum) {
    return ScaleMap(minimum, maximum, ScaleBottom, ScaleTop);
}

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

Thermometer::Thermometer(QWidget* parent) : QWidget(parent) {}

void Thermometer::setRange(double minimum, double maximum) {
    if (std::isnan(minimum) || std::isnan(maximum))
        return;
    if (minimum > maximum)
        std::swap(minimum, maximum);
    if (minimum == m_minimum && maximum == m_maximum)
        return;
    m_minimum = minimum;
    m_maximum = maximum;
    m_background.invalidate();
    update();
}

void Thermometer::setPosition(double position) {
    if (std::isnan(position) || position == m_position)
        return;
    m_position = position;
    update();
    notifyAccessibleValue(this, m_position);
    emit positionChanged(m_position);
}

void Thermometer::setLiquidColor(const QColor& color) {
    if (color == m_liquidColor)
        return;
    m_liquidColor = color;
    update();
}

void Thermometer::setUnitText(const QString& unit) {
    if (unit == m_unitText)
        return;
    m_unitText = unit;
    m_background.invalidate();
    update();
}

void Thermometer::setDecimals(int decimals) {
    m_decimals = std::clamp(decimals, 0, 6);
}

QString Thermometer::valueText() const {
    return formatInstrumentValue(m_position, m_decimals, m_unitText);
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
    if (!m_background.isValid(size(), dpr)) {
        QPainter p(&m_background.rebuild(size(), dpr));
        p.setRenderHint(QPainter::Antialiasing);
        p.setTransform(transform);
        drawBackground(&p, InstrumentPainting::fitScale(Plate, target));
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background.pixmap());
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

    // Scale: ticks and labels to the right of the tube.
    const ScaleMap map = heightMap(m_minimum, m_maximum);
    const ScaleDiv div = ScaleDiv::divideRound(m_minimum, m_maximum, 6, 1);
    const QColor ink = pal.color(QPalette::Text);
    painter->setPen(QPen(ink, 0.9, Qt::SolidLine, Qt::FlatCap));
    for (const double v : div.minorTicks())
        painter->drawLine(QPointF(TickLeft, map.transform(v)),
                          QPointF(MinorRight, map.transform(v)));
    painter->setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::FlatCap));
    for (const double v : div.majorTicks())
        painter->drawLine(QPointF(TickLeft, map.transform(v)),
                          QPointF(MajorRight, map.transform(v)));
    painter->drawLine(QPointF(TickLeft, map.transform(m_minimum)),
                      QPointF(TickLeft, map.transform(m_maximum)));

    // Labels as large as the gap allows, but never below a readable size on screen.
    QFont labelFont = InstrumentPainting::logicalFont(font(), LabelPixels, deviceScale, 7.5);
    double widest = 0.0;
    for (const double v : div.majorTicks())
        widest = std::max(widest, QFontMetricsF(labelFont).horizontalAdvance(div.label(v)));
    const double room = LabelRight - MajorRight - 1.5;
    if (widest > room)
        labelFont.setStretch(std::max(70, static_cast<int>(100.0 * room / widest)));
    const QFontMetricsF metrics(labelFont);
    painter->setFont(labelFont);
    painter->setPen(ink);
    for (const double v : div.majorTicks()) {
        const QString text = div.label(v);
        const double w = metrics.horizontalAdvance(text);
        painter->drawText(QPointF(LabelRight - w, map.transform(v) + metrics.capHeight() / 2.0),
                          text);
    }

    if (!m_unitText.isEmpty()) {
        const QFont unitFont = InstrumentPainting::logicalFont(font(), 11.0, deviceScale, 7.0);
        painter->setFont(unitFont);
        const QFontMetricsF unitMetrics(unitFont);
        painter->drawText(
            QPointF(LabelRight - unitMetrics.horizontalAdvance(m_unitText), ScaleTop - 10.0),
            m_unitText);
    }
    painter->restore();
}

void Thermometer::drawLiquid(QPainter* painter) const {
    const ScaleMap map = heightMap(m_minimum, m_maximum);
    const double top = map.boundedTransform(m_position);
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

void Thermometer::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange ||
        event->type() == QEvent::StyleChange) {
        m_background.invalidate();
        update();
    }
    QWidget::changeEvent(event);
}

} // namespace climate::widgets

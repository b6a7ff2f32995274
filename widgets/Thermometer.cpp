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

namespace {

// The design, in logical units: a plate 60 wide and 240 tall.
const QRectF kPlate(0.0, 0.0, 60.0, 240.0);
constexpr double kTubeX = 17.0;        // centre line of the tube
constexpr double kBore = 7.0;          // width of the liquid column
constexpr double kGlass = 13.0;        // outer width of the glass tube
constexpr double kTubeTop = 14.0;      // top of the glass
constexpr double kScaleTop = 26.0;     // the maximum
constexpr double kScaleBottom = 194.0; // the minimum
constexpr double kBulbY = 214.0;       // centre of the bulb
constexpr double kBulbRadius = 10.5;   // liquid in the bulb
constexpr double kBulbGlass = 13.5;    // glass round the bulb
constexpr double kTickLeft = 26.5;
constexpr double kMajorRight = 33.0;
constexpr double kMinorRight = 30.5;
constexpr double kLabelRight = 56.5;
constexpr double kLabelPixels = 14.0;

ScaleMap heightMap(double minimum, double maximum) {
    return ScaleMap(minimum, maximum, kScaleBottom, kScaleTop);
}

QPainterPath tubeShape(double halfWidth, double bulbRadius) {
    QPainterPath path;
    path.addRoundedRect(QRectF(kTubeX - halfWidth, kTubeTop - (halfWidth - kBore / 2.0),
                               2 * halfWidth, kBulbY - kTubeTop),
                        halfWidth, halfWidth);
    path.addEllipse(QPointF(kTubeX, kBulbY), bulbRadius, bulbRadius);
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
    if (minimum == minimum_ && maximum == maximum_)
        return;
    minimum_ = minimum;
    maximum_ = maximum;
    background_.invalidate();
    update();
}

void Thermometer::setPosition(double position) {
    if (std::isnan(position) || position == position_)
        return;
    position_ = position;
    update();
    notifyAccessibleValue(this, position_);
    emit positionChanged(position_);
}

void Thermometer::setLiquidColor(const QColor& color) {
    if (color == liquidColor_)
        return;
    liquidColor_ = color;
    update();
}

void Thermometer::setUnitText(const QString& unit) {
    if (unit == unitText_)
        return;
    unitText_ = unit;
    background_.invalidate();
    update();
}

void Thermometer::setDecimals(int decimals) {
    decimals_ = std::clamp(decimals, 0, 6);
}

QString Thermometer::valueText() const {
    return formatInstrumentValue(position_, decimals_, unitText_);
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
    const QTransform transform = InstrumentPainting::fit(kPlate, target);
    if (!background_.isValid(size(), dpr)) {
        QPainter p(&background_.rebuild(size(), dpr));
        p.setRenderHint(QPainter::Antialiasing);
        p.setTransform(transform);
        drawBackground(&p, InstrumentPainting::fitScale(kPlate, target));
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, background_.pixmap());
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
    painter->setBrush(InstrumentPainting::metalGradient(kPlate, pal, true));
    painter->drawRoundedRect(kPlate.adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
    const QRectF face = kPlate.adjusted(3.5, 3.5, -3.5, -3.5);
    QLinearGradient faceGradient(face.topLeft(), face.topRight());
    faceGradient.setColorAt(0.0, pal.color(QPalette::Base).darker(104));
    faceGradient.setColorAt(0.5, pal.color(QPalette::Base));
    faceGradient.setColorAt(1.0, pal.color(QPalette::Base).darker(108));
    painter->setBrush(faceGradient);
    painter->setPen(QPen(InstrumentPainting::withAlpha(pal.color(QPalette::Shadow), 120), 0.8));
    painter->drawRoundedRect(face, 5, 5);

    // Empty glass: a faint cylinder with its outline.
    const QPainterPath glass = tubeShape(kGlass / 2.0, kBulbGlass);
    QLinearGradient glassGradient(kTubeX - kGlass / 2.0, 0, kTubeX + kGlass / 2.0, 0);
    glassGradient.setColorAt(0.0, QColor(150, 160, 170));
    glassGradient.setColorAt(0.35, QColor(238, 242, 246));
    glassGradient.setColorAt(1.0, QColor(170, 178, 186));
    painter->setBrush(glassGradient);
    painter->setPen(QPen(QColor(90, 96, 104), 0.9));
    painter->drawPath(glass);

    // Scale: ticks and labels to the right of the tube.
    const ScaleMap map = heightMap(minimum_, maximum_);
    const ScaleDiv div = ScaleDiv::divideRound(minimum_, maximum_, 6, 1);
    const QColor ink = pal.color(QPalette::Text);
    painter->setPen(QPen(ink, 0.9, Qt::SolidLine, Qt::FlatCap));
    for (const double v : div.minorTicks())
        painter->drawLine(QPointF(kTickLeft, map.transform(v)),
                          QPointF(kMinorRight, map.transform(v)));
    painter->setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::FlatCap));
    for (const double v : div.majorTicks())
        painter->drawLine(QPointF(kTickLeft, map.transform(v)),
                          QPointF(kMajorRight, map.transform(v)));
    painter->drawLine(QPointF(kTickLeft, map.transform(minimum_)),
                      QPointF(kTickLeft, map.transform(maximum_)));

    // Labels as large as the gap allows, but never below a readable size on screen.
    QFont labelFont = InstrumentPainting::logicalFont(font(), kLabelPixels, deviceScale, 7.5);
    double widest = 0.0;
    for (const double v : div.majorTicks())
        widest = std::max(widest, QFontMetricsF(labelFont).horizontalAdvance(div.label(v)));
    const double room = kLabelRight - kMajorRight - 1.5;
    if (widest > room)
        labelFont.setStretch(std::max(70, static_cast<int>(100.0 * room / widest)));
    const QFontMetricsF metrics(labelFont);
    painter->setFont(labelFont);
    painter->setPen(ink);
    for (const double v : div.majorTicks()) {
        const QString text = div.label(v);
        const double w = metrics.horizontalAdvance(text);
        painter->drawText(QPointF(kLabelRight - w, map.transform(v) + metrics.capHeight() / 2.0),
                          text);
    }

    if (!unitText_.isEmpty()) {
        const QFont unitFont = InstrumentPainting::logicalFont(font(), 11.0, deviceScale, 7.0);
        painter->setFont(unitFont);
        const QFontMetricsF unitMetrics(unitFont);
        painter->drawText(
            QPointF(kLabelRight - unitMetrics.horizontalAdvance(unitText_), kScaleTop - 10.0),
            unitText_);
    }
    painter->restore();
}

void Thermometer::drawLiquid(QPainter* painter) const {
    const ScaleMap map = heightMap(minimum_, maximum_);
    const double top = map.boundedTransform(position_);
    painter->save();
    painter->setPen(Qt::NoPen);

    QLinearGradient column(kTubeX - kBore / 2.0, 0, kTubeX + kBore / 2.0, 0);
    column.setColorAt(0.0, liquidColor_.darker(150));
    column.setColorAt(0.4, liquidColor_.lighter(125));
    column.setColorAt(1.0, liquidColor_.darker(160));
    painter->setBrush(column);
    // The column starts inside the bulb, so the two read as one body of liquid.
    painter->drawRect(QRectF(kTubeX - kBore / 2.0, top, kBore, kBulbY - top));

    QRadialGradient bulb(QPointF(kTubeX - 3.5, kBulbY - 4.0), kBulbRadius * 1.5);
    bulb.setColorAt(0.0, liquidColor_.lighter(140));
    bulb.setColorAt(0.5, liquidColor_);
    bulb.setColorAt(1.0, liquidColor_.darker(170));
    painter->setBrush(bulb);
    painter->drawEllipse(QPointF(kTubeX, kBulbY), kBulbRadius, kBulbRadius);
    painter->restore();
}

void Thermometer::drawGlassHighlight(QPainter* painter) const {
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(255, 255, 255, 110));
    painter->drawRoundedRect(
        QRectF(kTubeX - kGlass / 2.0 + 2.0, kTubeTop + 2.0, 1.8, kBulbY - kBulbGlass - kTubeTop),
        0.9, 0.9);
    painter->drawEllipse(QPointF(kTubeX - 5.0, kBulbY - 5.0), 2.6, 2.0);
    painter->restore();
}

void Thermometer::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange ||
        event->type() == QEvent::StyleChange) {
        background_.invalidate();
        update();
    }
    QWidget::changeEvent(event);
}

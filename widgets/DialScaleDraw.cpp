#include "DialScaleDraw.h"

#include "InstrumentPainting.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPalette>
#include <QPolygonF>
#include <QRadialGradient>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace climate::widgets {

namespace {

// Radii of the design, in logical units.
constexpr double TickOuter = 100.0;
constexpr double BandInner = 92.0;
constexpr double MajorInner = 80.0;
constexpr double MinorInner = 88.0;
constexpr double LabelGap = 5.0;
// Face radius with the labels inside the ticks, and with them outside (narrow arcs).
constexpr double FaceInside = 108.0;
constexpr double FaceOutside = 128.0;
constexpr double LipWidth = 4.0;
constexpr double BezelWidth = 9.0;
constexpr double CornerRadius = 16.0;
constexpr double LabelPixels = 19.0;
constexpr double UnitPixels = 15.0;

QPointF polar(double radius, double angleDeg) {
    const double a = qDegreesToRadians(angleDeg);
    return {radius * std::cos(a), -radius * std::sin(a)};
}

double cross(const QPointF& o, const QPointF& a, const QPointF& b) {
    return (a.x() - o.x()) * (b.y() - o.y()) - (a.y() - o.y()) * (b.x() - o.x());
}

// Andrew's monotone chain; the point sets here are a few hundred points at most.
QPolygonF convexHull(QList<QPointF> points) {
    std::sort(points.begin(), points.end(), [](const QPointF& a, const QPointF& b) {
        return a.x() < b.x() || (a.x() == b.x() && a.y() < b.y());
    });
    if (points.size() < 3)
        return QPolygonF(points);
    QList<QPointF> hull(2 * points.size());
    qsizetype k = 0;
    for (const QPointF& p : points) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], p) <= 0)
            --k;
        hull[k++] = p;
    }
    for (qsizetype i = points.size() - 2, lower = k + 1; i >= 0; --i) {
        while (k >= lower && cross(hull[k - 2], hull[k - 1], points[i]) <= 0)
            --k;
        hull[k++] = points[i];
    }
    hull.resize(k - 1);
    return QPolygonF(hull);
}

} // namespace

void DialScaleDraw::setScale(const ScaleMap& angles, const ScaleDiv& div) {
    m_angles = angles;
    m_div = div;
}

bool DialScaleDraw::labelsOutside() const {
    // On a narrow arc the labels inside would crowd towards the hub; outside, they have room.
    return std::abs(m_angles.p2() - m_angles.p1()) <= 180.0;
}

double DialScaleDraw::faceRadius() const {
    return labelsOutside() ? FaceOutside : FaceInside;
}

double DialScaleDraw::hubDiscRadius() const {
    // Room round the hub for the pointer's tail.
    return m_hubRadius + 22.0;
}

QPainterPath DialScaleDraw::outline(double grow) const {
    const double arcRadius = faceRadius() + grow;
    const double hubRadius = hubDiscRadius() + grow;
    const double start = m_angles.p1();
    const double end = m_angles.p2();
    QPainterPath path;
    if (std::abs(start - end) >= 359.0) {
        path.addEllipse(QPointF(0, 0), arcRadius, arcRadius);
        return path;
    }
    QList<QPointF> points;
    const int arcSteps = std::max(8, static_cast<int>(std::abs(end - start)));
    for (int i = 0; i <= arcSteps; ++i)
        points.append(polar(arcRadius, start + (end - start) * i / arcSteps));
    for (int i = 0; i < 72; ++i)
        points.append(polar(hubRadius, i * 5.0));
    const QPolygonF hull = convexHull(points);
    if (labelsOutside()) {
        // A narrow dial is a square-cornered panel meter with the pivot near one edge.
        const QRectF box = hull.boundingRect();
        path.addRoundedRect(box, CornerRadius + grow, CornerRadius + grow);
        return path;
    }
    path.addPolygon(hull);
    path.closeSubpath();
    return path;
}

QRectF DialScaleDraw::boundingRect() const {
    return outline(LipWidth + BezelWidth).boundingRect();
}

void DialScaleDraw::drawBackground(QPainter* painter, const QPalette& palette, const QFont& font,
                                   double deviceScale) const {
    drawBezel(painter, palette);
    drawSections(painter);
    drawTicks(painter, palette);
    drawLabels(painter, palette, font, deviceScale);
    drawUnit(painter, palette, font, deviceScale);
}

void DialScaleDraw::drawBezel(QPainter* painter, const QPalette& palette) const {
    const QPainterPath outer = outline(LipWidth + BezelWidth);
    const QPainterPath lip = outline(LipWidth);
    const QPainterPath face = outline(0.0);
    const QRectF box = outer.boundingRect();

    painter->save();
    painter->setPen(QPen(palette.color(QPalette::Shadow), 1.2));
    painter->setBrush(InstrumentPainting::metalGradient(box, palette, true));
    painter->drawPath(outer);
    painter->setPen(Qt::NoPen);
    painter->setBrush(InstrumentPainting::metalGradient(box, palette, false));
    painter->drawPath(lip);

    const QColor base = palette.color(QPalette::Base);
    QRadialGradient faceGradient(face.boundingRect().center(), faceRadius() * 1.3);
    faceGradient.setColorAt(0.0, base);
    faceGradient.setColorAt(0.7, base.darker(103));
    faceGradient.setColorAt(1.0, base.darker(112));
    painter->setBrush(faceGradient);
    painter->setPen(QPen(InstrumentPainting::withAlpha(palette.color(QPalette::Shadow), 150), 1.5));
    painter->drawPath(face);
    painter->restore();
}

void DialScaleDraw::drawSections(QPainter* painter) const {
    const double width = TickOuter - BandInner;
    const double r = BandInner + width / 2.0;
    const QRectF arcRect(-r, -r, 2 * r, 2 * r);
    painter->save();
    for (const ScaleSection& s : m_sections) {
        if (!s.color.isValid())
            continue;
        const double a1 = m_angles.boundedTransform(s.from);
        const double a2 = m_angles.boundedTransform(s.to);
        if (a1 == a2)
            continue;
        QPainterPath arc;
        arc.arcMoveTo(arcRect, a1);
        arc.arcTo(arcRect, a1, a2 - a1);
        painter->setPen(QPen(s.color, width, Qt::SolidLine, Qt::FlatCap));
        painter->setBrush(Qt::NoBrush);
        painter->drawPath(arc);
    }
    painter->restore();
}

void DialScaleDraw::drawTicks(QPainter* painter, const QPalette& palette) const {
    const QColor ink = palette.color(QPalette::Text);
    painter->save();
    painter->setBrush(Qt::NoBrush);

    // The scale's base line along the inner edge of the coloured band.
    const QRectF base(-BandInner, -BandInner, 2 * BandInner, 2 * BandInner);
    QPainterPath line;
    line.arcMoveTo(base, m_angles.p1());
    line.arcTo(base, m_angles.p1(), m_angles.p2() - m_angles.p1());
    painter->setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::FlatCap));
    painter->drawPath(line);

    painter->setPen(QPen(ink, 1.3, Qt::SolidLine, Qt::FlatCap));
    for (const double v : m_div.minorTicks()) {
        const double a = m_angles.transform(v);
        painter->drawLine(polar(MinorInner, a), polar(TickOuter, a));
    }
    painter->setPen(QPen(ink, 2.8, Qt::SolidLine, Qt::FlatCap));
    for (const double v : m_div.majorTicks()) {
        const double a = m_angles.transform(v);
        painter->drawLine(polar(MajorInner, a), polar(TickOuter, a));
    }
    painter->restore();
}

void DialScaleDraw::drawLabels(QPainter* painter, const QPalette& palette, const QFont& font,
                               double deviceScale) const {
    const QFont labelFont = InstrumentPainting::logicalFont(font, LabelPixels, deviceScale, 8.5);
    const QFontMetricsF metrics(labelFont);
    painter->save();
    painter->setFont(labelFont);
    painter->setPen(palette.color(QPalette::Text));
    for (const double v : m_div.majorTicks()) {
        const QString text = m_div.label(v);
        const double a = qDegreesToRadians(m_angles.transform(v));
        const double w = metrics.horizontalAdvance(text);
        const double h = metrics.capHeight();
        // Set each label off the ticks by its own extent along the radius, so wide labels near
        // 3 and 9 o'clock keep the same gap as narrow ones at 12.
        const double extent = std::abs(std::cos(a)) * w / 2.0 + std::abs(std::sin(a)) * h / 2.0;
        const double r =
            labelsOutside() ? TickOuter + LabelGap + extent : MajorInner - LabelGap - extent;
        const QPointF centre(r * std::cos(a), -r * std::sin(a));
        painter->drawText(QPointF(centre.x() - w / 2.0, centre.y() + h / 2.0), text);
    }
    painter->restore();
}

void DialScaleDraw::drawUnit(QPainter* painter, const QPalette& palette, const QFont& font,
                             double deviceScale) const {
    if (m_unitText.isEmpty())
        return;
    // A wide dial has room in its chin below the hub, clear of the end labels; a narrow one
    // carries the unit half way along the arc, between the hub and the ticks.
    const double middle = (m_angles.p1() + m_angles.p2()) / 2.0;
    const bool wide = std::abs(m_angles.p2() - m_angles.p1()) > 180.0;
    const QPointF centre = wide ? polar(m_hubRadius + 38.0, middle + 180.0) : polar(55.0, middle);
    const QFont unitFont = InstrumentPainting::logicalFont(font, UnitPixels, deviceScale, 7.5);
    const QFontMetricsF metrics(unitFont);
    painter->save();
    painter->setFont(unitFont);
    painter->setPen(InstrumentPainting::withAlpha(palette.color(QPalette::Text), 190));
    const double w = metrics.horizontalAdvance(m_unitText);
    painter->drawText(QPointF(centre.x() - w / 2.0, centre.y() + metrics.capHeight() / 2.0),
                      m_unitText);
    painter->restore();
}

void DialScaleDraw::setPointerStyle(PointerStyle style) {
    m_pointerStyle = style;
    m_pointerShape = makePointerShape();
}

void DialScaleDraw::setPointerWidth(double width) {
    m_pointerWidth = width;
    m_pointerShape = makePointerShape();
}

QPainterPath DialScaleDraw::makePointerShape() const {
    // Drawn along +x (3 o'clock) and rotated into place.
    const double w = m_pointerWidth;
    QPainterPath path;
    if (m_pointerStyle == PointerStyle::Needle) {
        QPolygonF needle;
        needle << QPointF(-22.0, -w * 0.42) << QPointF(0.0, -w * 0.5) << QPointF(97.0, -0.9)
               << QPointF(97.0, 0.9) << QPointF(0.0, w * 0.5) << QPointF(-22.0, w * 0.42);
        path.addPolygon(needle);
        path.closeSubpath();
    } else {
        const double shaft = std::max(2.2, w * 0.32);
        path.addRect(QRectF(-8.0, -shaft / 2.0, 88.0, shaft));
        QPolygonF head;
        head << QPointF(78.0, -w * 0.75) << QPointF(99.0, 0.0) << QPointF(78.0, w * 0.75);
        path.addPolygon(head);
        path.closeSubpath();
        path.setFillRule(Qt::WindingFill);
        path = path.simplified();
    }
    return path;
}

void DialScaleDraw::drawPointer(QPainter* painter, double value, const QPalette& palette) const {
    const double angle = m_angles.boundedTransform(value);
    const QPainterPath& shape = m_pointerShape;

    painter->save();
    painter->setPen(Qt::NoPen);
    // Shadow first, offset down and right as if lit from the top left.
    painter->save();
    painter->translate(2.0, 3.0);
    painter->rotate(-angle);
    painter->setBrush(QColor(0, 0, 0, 55));
    painter->drawPath(shape);
    painter->restore();

    painter->save();
    painter->rotate(-angle);
    QLinearGradient body(0, -m_pointerWidth / 2.0, 0, m_pointerWidth / 2.0);
    body.setColorAt(0.0, m_pointerColor.lighter(125));
    body.setColorAt(0.5, m_pointerColor);
    body.setColorAt(1.0, m_pointerColor.darker(135));
    painter->setBrush(body);
    painter->setPen(QPen(m_pointerColor.darker(170), 0.8));
    painter->drawPath(shape);
    painter->restore();
    painter->restore();

    drawHub(painter, palette);
}

void DialScaleDraw::drawHub(QPainter* painter, const QPalette& palette) const {
    const double r = m_hubRadius;
    painter->save();
    QRadialGradient dome(QPointF(-r * 0.35, -r * 0.4), r * 1.4);
    dome.setColorAt(0.0, palette.color(QPalette::Light));
    dome.setColorAt(0.45, palette.color(QPalette::Mid));
    dome.setColorAt(1.0, palette.color(QPalette::Shadow));
    painter->setBrush(dome);
    painter->setPen(QPen(palette.color(QPalette::Shadow), 1.0));
    painter->drawEllipse(QPointF(0, 0), r, r);
    painter->setBrush(m_pointerColor.darker(140));
    painter->setPen(Qt::NoPen);
    painter->drawEllipse(QPointF(0, 0), r * 0.28, r * 0.28);
    painter->restore();
}

void DialScaleDraw::drawGlass(QPainter* painter) const {
    const QPainterPath face = outline(0.0);
    const QRectF box = face.boundingRect();
    QPainterPath sheen;
    sheen.addEllipse(QRectF(box.left() - box.width() * 0.25, box.top() - box.height() * 0.55,
                            box.width() * 1.25, box.height() * 1.0));
    painter->save();
    QLinearGradient light(box.topLeft(), QPointF(box.left(), box.top() + box.height() * 0.5));
    light.setColorAt(0.0, QColor(255, 255, 255, 70));
    light.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter->setPen(Qt::NoPen);
    painter->setBrush(light);
    painter->drawPath(face.intersected(sheen));
    painter->restore();
}

} // namespace climate::widgets

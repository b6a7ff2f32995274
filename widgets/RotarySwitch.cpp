#include "RotarySwitch.h"

#include "InstrumentAccessibility.h"
#include "InstrumentPainting.h"

#include <QEvent>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace climate::widgets {

namespace {

// The knob is designed at radius 100; position marks run out to MarkOuter.
constexpr double MarkInner = 106.0;
constexpr double MarkOuter = 122.0;
constexpr double LabelGap = 4.0;

QPointF direction(double angleDeg) {
    const double a = qDegreesToRadians(angleDeg);
    return {std::sin(a), -std::cos(a)};
}

} // namespace

RotarySwitch::RotarySwitch(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void RotarySwitch::setPositionLabels(const QStringList& labels) {
    if (labels == m_labels)
        return;
    m_labels = labels;
    const int position = clampedPosition(m_position);
    const int displayed = clampedPosition(m_displayed);
    invalidateLayout();
    m_background.invalidate();
    update();
    updateGeometry();
    if (displayed != m_displayed) {
        m_displayed = displayed;
        notifyAccessibleValue(this, m_displayed);
        emit displayedPositionChanged(m_displayed);
    }
    if (position != m_position) {
        m_position = position;
        emit positionChanged(m_position);
    }
}

void RotarySwitch::setPosition(int position) {
    position = clampedPosition(position);
    const bool positionChangedNow = position != m_position;
    m_position = position;
    // The program setting it again also undoes any turn by hand.
    turnTo(m_position);
    if (positionChangedNow)
        emit positionChanged(m_position);
}

QString RotarySwitch::positionLabel() const {
    return m_labels.value(m_position);
}

QString RotarySwitch::displayedLabel() const {
    return m_labels.value(m_displayed);
}

void RotarySwitch::turnTo(int position) {
    position = clampedPosition(position);
    if (position == m_displayed)
        return;
    m_displayed = position;
    update();
    notifyAccessibleValue(this, m_displayed);
    emit displayedPositionChanged(m_displayed);
}

void RotarySwitch::setPointerColor(const QColor& color) {
    if (!color.isValid() || color == m_pointerColor)
        return;
    m_pointerColor = color;
    update();
}

int RotarySwitch::clampedPosition(int position) const {
    return std::clamp(position, 0, std::max(0, static_cast<int>(m_labels.size()) - 1));
}

double RotarySwitch::positionAngle(int position) const {
    const int count = static_cast<int>(m_labels.size());
    if (count <= 1)
        return 0.0;
    // Two positions a quarter turn apart; three or more 45° apart (10:30, 12 and 1:30 for
    // three), up to 270° in all.
    const double span = count == 2 ? 90.0 : std::min(270.0, 45.0 * (count - 1));
    return -span / 2.0 + span * clampedPosition(position) / (count - 1);
}

QSize RotarySwitch::sizeHint() const {
    return {84, 64};
}

QSize RotarySwitch::minimumSizeHint() const {
    return {40, 32};
}

RotarySwitch::Layout RotarySwitch::layoutFor(const QFont& labelFont, double radius,
                                             const QPointF& centre) const {
    Layout layout;
    layout.centre = centre;
    layout.radius = radius;
    layout.font = labelFont;
    const QFontMetricsF metrics(labelFont);
    const double scale = radius / 100.0;
    for (int i = 0; i < m_labels.size(); ++i) {
        const QSizeF size(metrics.horizontalAdvance(m_labels[i]), metrics.capHeight() + 2.0);
        const QPointF d = direction(positionAngle(i));
        // Out along the position's direction, far enough that the label's box clears the marks.
        const double extent =
            std::abs(d.x()) * size.width() / 2.0 + std::abs(d.y()) * size.height() / 2.0;
        const QPointF c = centre + d * (MarkOuter * scale + LabelGap + extent);
        layout.labelRects.append(QRectF(c.x() - size.width() / 2.0, c.y() - size.height() / 2.0,
                                        size.width(), size.height()));
    }
    return layout;
}

RotarySwitch::Layout RotarySwitch::largestLayout(const QFont& labelFont) const {
    // The largest knob whose marks and labels still fit the widget, then the whole centred.
    const QRectF area = QRectF(rect()).adjusted(1, 1, -1, -1);
    auto extentOf = [this, &labelFont](double radius) {
        const Layout l = layoutFor(labelFont, radius, QPointF(0, 0));
        const double r = MarkOuter * radius / 100.0;
        QRectF box(-r, -r, 2 * r, 2 * r);
        for (const QRectF& label : l.labelRects)
            box = box.united(label);
        return box;
    };
    double low = 1.0;
    double high = std::max(1.0, std::min(area.width(), area.height()));
    for (int i = 0; i < 30; ++i) {
        const double mid = (low + high) / 2.0;
        const QRectF box = extentOf(mid);
        if (box.width() <= area.width() && box.height() <= area.height())
            low = mid;
        else
            high = mid;
    }
    const QRectF box = extentOf(low);
    return layoutFor(labelFont, low, area.center() - box.center());
}

const RotarySwitch::Layout& RotarySwitch::layout() const {
    if (m_layoutSize == size())
        return m_layout;
    // Long labels in a narrow widget would shrink the knob to a dot; smaller lettering (down to a
    // readable minimum) keeps the knob at least a quarter of the widget across.
    const double wanted = std::min(width(), height()) * 0.25;
    QFont labelFont = font();
    const double pixels = QFontInfo(labelFont).pixelSize();
    m_layout = largestLayout(labelFont);
    for (double factor = 0.9; m_layout.radius < wanted && pixels * factor >= 7.0; factor -= 0.1) {
        labelFont.setPixelSize(static_cast<int>(std::lround(pixels * factor)));
        m_layout = largestLayout(labelFont);
    }
    m_layoutSize = size();
    return m_layout;
}

int RotarySwitch::positionNearest(const QPointF& point) const {
    const QPointF d = point - layout().centre;
    if (m_labels.isEmpty() || (d.x() == 0.0 && d.y() == 0.0))
        return m_displayed;
    const double angle = qRadiansToDegrees(std::atan2(d.x(), -d.y()));
    int best = 0;
    for (int i = 1; i < m_labels.size(); ++i) {
        if (std::abs(positionAngle(i) - angle) < std::abs(positionAngle(best) - angle))
            best = i;
    }
    return best;
}

void RotarySwitch::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange ||
        event->type() == QEvent::StyleChange) {
        invalidateLayout();
        m_background.invalidate();
        update();
    }
    QWidget::changeEvent(event);
}

void RotarySwitch::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    turnTo(positionNearest(event->position()));
    event->accept();
}

void RotarySwitch::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    turnTo(positionNearest(event->position()));
    event->accept();
}

void RotarySwitch::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Down:
        turnTo(m_displayed - 1);
        break;
    case Qt::Key_Right:
    case Qt::Key_Up:
        turnTo(m_displayed + 1);
        break;
    case Qt::Key_Home:
        turnTo(0);
        break;
    case Qt::Key_End:
        turnTo(static_cast<int>(m_labels.size()) - 1);
        break;
    case Qt::Key_Space:
        turnTo(m_labels.isEmpty() ? 0 : (m_displayed + 1) % static_cast<int>(m_labels.size()));
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void RotarySwitch::paintEvent(QPaintEvent* /*event*/) {
    const qreal dpr = devicePixelRatioF();
    if (!m_background.isValid(size(), dpr)) {
        QPainter p(&m_background.rebuild(size(), dpr));
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        drawBackground(&p);
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background.pixmap());
    painter.setRenderHint(QPainter::Antialiasing);
    drawKnob(&painter);
}

void RotarySwitch::drawBackground(QPainter* painter) const {
    const QPalette& pal = palette();
    painter->save();
    painter->setPen(pal.color(QPalette::WindowText));
    painter->setFont(layout().font);
    const QFontMetricsF metrics(layout().font);
    for (int i = 0; i < m_labels.size(); ++i) {
        const QRectF r = layout().labelRects.value(i);
        painter->drawText(QPointF(r.left(), r.center().y() + metrics.capHeight() / 2.0),
                          m_labels[i]);
    }

    // Knob seat and its position marks, in the knob's logical units.
    painter->translate(layout().centre);
    painter->scale(layout().radius / 100.0, layout().radius / 100.0);
    painter->setPen(QPen(pal.color(QPalette::WindowText), 7.0, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < m_labels.size(); ++i) {
        const QPointF d = direction(positionAngle(i));
        painter->drawLine(d * MarkInner, d * MarkOuter);
    }
    painter->setPen(QPen(pal.color(QPalette::Shadow), 2.0));
    painter->setBrush(InstrumentPainting::metalGradient(QRectF(-100, -100, 200, 200), pal, true));
    painter->drawEllipse(QPointF(0, 0), 100.0, 100.0);
    QRadialGradient body(QPointF(-25, -30), 120.0);
    body.setColorAt(0.0, QColor(88, 90, 96));
    body.setColorAt(0.6, QColor(40, 42, 46));
    body.setColorAt(1.0, QColor(16, 17, 19));
    painter->setBrush(body);
    painter->setPen(QPen(QColor(0, 0, 0, 160), 2.0));
    painter->drawEllipse(QPointF(0, 0), 88.0, 88.0);
    painter->restore();
}

void RotarySwitch::drawKnob(QPainter* painter) const {
    painter->save();
    painter->translate(layout().centre);
    painter->scale(layout().radius / 100.0, layout().radius / 100.0);

    if (hasFocus()) {
        QPen focus(palette().color(QPalette::Highlight), 4.0, Qt::DotLine);
        painter->setPen(focus);
        painter->setBrush(Qt::NoBrush);
        painter->drawEllipse(QPointF(0, 0), 128.0, 128.0);
    }

    painter->rotate(positionAngle(m_displayed));
    // The bar across the knob, its shadow first.
    const QRectF bar(-17.0, -92.0, 34.0, 184.0);
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(0, 0, 0, 90));
    painter->drawRoundedRect(bar.translated(5.0, 6.0), 16.0, 16.0);
    QLinearGradient barFill(bar.left(), 0, bar.right(), 0);
    barFill.setColorAt(0.0, QColor(150, 152, 158));
    barFill.setColorAt(0.4, QColor(96, 98, 104));
    barFill.setColorAt(1.0, QColor(38, 40, 44));
    painter->setBrush(barFill);
    painter->setPen(QPen(QColor(10, 10, 12), 2.0));
    painter->drawRoundedRect(bar, 16.0, 16.0);

    // Pointer stripe on the end that points at the selected position.
    painter->setPen(QPen(m_pointerColor, 12.0, Qt::SolidLine, Qt::RoundCap));
    painter->drawLine(QPointF(0, -10.0), QPointF(0, -80.0));
    painter->restore();
}

} // namespace climate::widgets

#include "RockerSwitch.h"

#include "InstrumentAccessibility.h"
#include "InstrumentPainting.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace climate::widgets {

namespace {

// Logical design: 60 wide, 100 tall.
const QRectF Design(0.0, 0.0, 60.0, 100.0);
const QRectF Housing(7.0, 4.0, 46.0, 92.0);
const QRectF Paddle(13.0, 10.0, 34.0, 80.0);

} // namespace

RockerSwitch::RockerSwitch(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void RockerSwitch::setOn(bool on) {
    if (on == m_on)
        return;
    m_on = on;
    update();
    notifyAccessibleChecked(this);
}

void RockerSwitch::setBackgroundColor(const QColor& color) {
    if (!color.isValid() || color == m_backgroundColor)
        return;
    m_backgroundColor = color;
    update();
}

QSize RockerSwitch::sizeHint() const {
    return {30, 48};
}

QSize RockerSwitch::minimumSizeHint() const {
    return {16, 26};
}

void RockerSwitch::press() {
    // A slot may delete the switch (closing its window, say); then there is nothing to flip.
    const QPointer<RockerSwitch> alive(this);
    emit clicked();
    if (alive)
        flip();
}

void RockerSwitch::flip() {
    m_on = !m_on;
    update();
    notifyAccessibleChecked(this);
    emit toggled(m_on);
}

void RockerSwitch::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_mouseDown = true;
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void RockerSwitch::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_mouseDown) {
        m_mouseDown = false;
        event->accept();
        // Like a button: releasing outside the switch cancels the click.
        if (rect().contains(event->position().toPoint()))
            press();
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void RockerSwitch::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat())
            flip();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void RockerSwitch::focusInEvent(QFocusEvent* event) {
    update();
    QWidget::focusInEvent(event);
}

void RockerSwitch::focusOutEvent(QFocusEvent* event) {
    update();
    QWidget::focusOutEvent(event);
}

void RockerSwitch::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), m_backgroundColor);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(InstrumentPainting::fit(Design, QRectF(rect())), true);

    // Housing: a dark bezel with a recess for the paddle.
    QLinearGradient housing(Housing.topLeft(), Housing.bottomRight());
    housing.setColorAt(0.0, QColor(92, 94, 100));
    housing.setColorAt(1.0, QColor(22, 23, 26));
    painter.setPen(QPen(QColor(0, 0, 0), 1.2));
    painter.setBrush(housing);
    painter.drawRoundedRect(Housing, 6.0, 6.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(8, 8, 9));
    painter.drawRoundedRect(Paddle.adjusted(-2.5, -2.5, 2.5, 2.5), 4.0, 4.0);

    // Paddle: the half that is pressed in lies in shadow, the other half stands up into the light.
    // On presses the upper half, marked "I"; off presses the lower half, marked "O".
    const QRectF upper(Paddle.left(), Paddle.top(), Paddle.width(), Paddle.height() / 2.0);
    const QRectF lower(Paddle.left(), Paddle.center().y(), Paddle.width(), Paddle.height() / 2.0);
    auto halfFill = [](const QRectF& r, bool raised, bool upperHalf) {
        QLinearGradient g(r.topLeft(), r.bottomLeft());
        const QColor bright(112, 115, 122);
        const QColor mid(58, 60, 65);
        const QColor deep(20, 21, 24);
        if (raised) {
            g.setColorAt(upperHalf ? 0.0 : 1.0, deep);
            g.setColorAt(upperHalf ? 1.0 : 0.0, bright);
        } else {
            g.setColorAt(upperHalf ? 0.0 : 1.0, mid);
            g.setColorAt(upperHalf ? 1.0 : 0.0, deep);
        }
        return g;
    };
    painter.setBrush(halfFill(upper, !m_on, true));
    painter.drawRoundedRect(upper, 3.0, 3.0);
    painter.setBrush(halfFill(lower, m_on, false));
    painter.drawRoundedRect(lower, 3.0, 3.0);
    // Ridge where the paddle pivots.
    painter.setPen(QPen(QColor(150, 152, 158), 1.2));
    painter.drawLine(QPointF(upper.left() + 1.0, upper.bottom()),
                     QPointF(upper.right() - 1.0, upper.bottom()));

    // Markings: the one for the state the switch is in stands out.
    painter.setPen(QPen(m_on ? QColor(255, 255, 255) : QColor(255, 255, 255, 110), 3.2,
                        Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(upper.center().x(), upper.top() + 11.0),
                     QPointF(upper.center().x(), upper.bottom() - 11.0));
    painter.setPen(QPen(m_on ? QColor(255, 255, 255, 110) : QColor(255, 255, 255), 3.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(lower.center(), 7.0, 8.5);

    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1.5, Qt::DotLine));
        painter.drawRoundedRect(Housing.adjusted(-3.0, -2.5, 3.0, 2.5), 7.0, 7.0);
    }
}

} // namespace climate::widgets

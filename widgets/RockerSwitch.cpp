#include "RockerSwitch.h"

#include "InstrumentAccessibility.h"
#include "InstrumentPainting.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace {

// Logical design: 60 wide, 100 tall.
const QRectF kDesign(0.0, 0.0, 60.0, 100.0);
const QRectF kHousing(7.0, 4.0, 46.0, 92.0);
const QRectF kPaddle(13.0, 10.0, 34.0, 80.0);

} // namespace

RockerSwitch::RockerSwitch(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

void RockerSwitch::setOn(bool on) {
    if (on == on_)
        return;
    on_ = on;
    update();
    notifyAccessibleChecked(this);
}

void RockerSwitch::setBackgroundColor(const QColor& color) {
    if (!color.isValid() || color == backgroundColor_)
        return;
    backgroundColor_ = color;
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
    on_ = !on_;
    update();
    notifyAccessibleChecked(this);
    emit toggled(on_);
}

void RockerSwitch::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        mouseDown_ = true;
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void RockerSwitch::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && mouseDown_) {
        mouseDown_ = false;
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
    painter.fillRect(rect(), backgroundColor_);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setTransform(InstrumentPainting::fit(kDesign, QRectF(rect())), true);

    // Housing: a dark bezel with a recess for the paddle.
    QLinearGradient housing(kHousing.topLeft(), kHousing.bottomRight());
    housing.setColorAt(0.0, QColor(92, 94, 100));
    housing.setColorAt(1.0, QColor(22, 23, 26));
    painter.setPen(QPen(QColor(0, 0, 0), 1.2));
    painter.setBrush(housing);
    painter.drawRoundedRect(kHousing, 6.0, 6.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(8, 8, 9));
    painter.drawRoundedRect(kPaddle.adjusted(-2.5, -2.5, 2.5, 2.5), 4.0, 4.0);

    // Paddle: the half that is pressed in lies in shadow, the other half stands up into the light.
    // On presses the upper half, marked "I"; off presses the lower half, marked "O".
    const QRectF upper(kPaddle.left(), kPaddle.top(), kPaddle.width(), kPaddle.height() / 2.0);
    const QRectF lower(kPaddle.left(), kPaddle.center().y(), kPaddle.width(),
                       kPaddle.height() / 2.0);
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
    painter.setBrush(halfFill(upper, !on_, true));
    painter.drawRoundedRect(upper, 3.0, 3.0);
    painter.setBrush(halfFill(lower, on_, false));
    painter.drawRoundedRect(lower, 3.0, 3.0);
    // Ridge where the paddle pivots.
    painter.setPen(QPen(QColor(150, 152, 158), 1.2));
    painter.drawLine(QPointF(upper.left() + 1.0, upper.bottom()),
                     QPointF(upper.right() - 1.0, upper.bottom()));

    // Markings: the one for the state the switch is in stands out.
    painter.setPen(QPen(on_ ? QColor(255, 255, 255) : QColor(255, 255, 255, 110), 3.2,
                        Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(upper.center().x(), upper.top() + 11.0),
                     QPointF(upper.center().x(), upper.bottom() - 11.0));
    painter.setPen(QPen(on_ ? QColor(255, 255, 255, 110) : QColor(255, 255, 255), 3.2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(lower.center(), 7.0, 8.5);

    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1.5, Qt::DotLine));
        painter.drawRoundedRect(kHousing.adjusted(-3.0, -2.5, 3.0, 2.5), 7.0, 7.0);
    }
}

#include "Odometer.h"

#include "InstrumentPainting.h"
#include "ValueText.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace climate::widgets {

namespace {

const QRectF Frame(0.0, 0.0, 140.0, 48.0);
const QRectF Window(4.0, 4.0, 132.0, 40.0);
constexpr double DrumLeft = 6.0;
constexpr double DrumTop = 6.0;
constexpr double DrumWidth = 30.5;
constexpr double DrumHeight = 36.0;
constexpr double DrumPitch = 32.5;
constexpr double DigitPixels = 29.0;

QRectF drumRect(int index) {
    return {DrumLeft + index * DrumPitch, DrumTop, DrumWidth, DrumHeight};
}

} // namespace

Odometer::Odometer(QWidget* parent) : ValueInstrument(0.0, 9999.0, 0, parent) {}

void Odometer::setValue(double value) {
    if (!std::isfinite(value)) {
        return;
    }
    if (holdValue(std::max(value, 0.0))) {
        emit valueChanged(heldValue());
    }
}

int Odometer::displayedNumber() const {
    // fmod keeps huge values exact enough and away from integer overflow.
    return static_cast<int>(std::fmod(std::round(value()), 10000.0));
}

QString Odometer::displayText() const {
    return QStringLiteral("%1").arg(displayedNumber(), Digits, 10, QLatin1Char('0'));
}

QString Odometer::valueText() const {
    return formatInstrumentValue(displayedNumber(), 0, unitText());
}

QSize Odometer::sizeHint() const {
    return {70, 24};
}

QSize Odometer::minimumSizeHint() const {
    return {44, 15};
}

void Odometer::paintEvent(QPaintEvent* /*event*/) {
    const qreal dpr = devicePixelRatioF();
    const QRectF target(rect());
    const QTransform transform = InstrumentPainting::fit(Frame, target);
    if (!background().isValid(size(), dpr)) {
        QPainter p(&background().rebuild(size(), dpr));
        p.setRenderHint(QPainter::Antialiasing);
        p.setTransform(transform);
        drawBackground(&p);
    }
    if (!m_shade.isValid(size(), dpr)) {
        QPainter p(&m_shade.rebuild(size(), dpr));
        p.setRenderHint(QPainter::Antialiasing);
        p.setTransform(transform);
        drawDrumShade(&p);
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, background().pixmap());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setTransform(transform, true);
    drawDigits(&painter, InstrumentPainting::fitScale(Frame, target));
    painter.restore();
    painter.drawPixmap(0, 0, m_shade.pixmap());
}

void Odometer::drawBackground(QPainter* painter) const {
    painter->save();
    QLinearGradient frame(Frame.topLeft(), Frame.bottomLeft());
    frame.setColorAt(0.0, QColor(120, 124, 130));
    frame.setColorAt(0.5, QColor(62, 65, 70));
    frame.setColorAt(1.0, QColor(28, 30, 33));
    painter->setBrush(frame);
    painter->setPen(QPen(QColor(10, 10, 12), 1.0));
    painter->drawRoundedRect(Frame.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    painter->setBrush(QColor(6, 6, 7));
    painter->setPen(Qt::NoPen);
    painter->drawRoundedRect(Window, 3, 3);

    QLinearGradient drum(0, DrumTop, 0, DrumTop + DrumHeight);
    drum.setColorAt(0.0, QColor(14, 14, 15));
    drum.setColorAt(0.25, QColor(44, 45, 47));
    drum.setColorAt(0.5, QColor(58, 59, 62));
    drum.setColorAt(0.75, QColor(44, 45, 47));
    drum.setColorAt(1.0, QColor(14, 14, 15));
    painter->setBrush(drum);
    for (int i = 0; i < Digits; ++i) {
        painter->drawRect(drumRect(i));
    }
    painter->restore();
}

void Odometer::drawDigits(QPainter* painter, double deviceScale) const {
    const QFont digitFont =
        InstrumentPainting::logicalFont(font(), DigitPixels, deviceScale, 9.0, true);
    const QFontMetricsF metrics(digitFont);
    painter->setFont(digitFont);
    painter->setPen(Qt::white);
    const QString digits = displayText();
    for (int i = 0; i < Digits; ++i) {
        const QRectF drum = drumRect(i);
        const QString digit = digits.mid(i, 1);
        const double w = metrics.horizontalAdvance(digit);
        const QPointF baseline(drum.center().x() - w / 2.0,
                               drum.center().y() + metrics.capHeight() / 2.0);
        painter->drawText(baseline, digit);
    }
}

void Odometer::drawDrumShade(QPainter* painter) const {
    // Darkening towards the top and bottom of each drum makes the digits sit on a cylinder.
    painter->save();
    painter->setPen(Qt::NoPen);
    QLinearGradient shade(0, DrumTop, 0, DrumTop + DrumHeight);
    shade.setColorAt(0.0, QColor(0, 0, 0, 200));
    shade.setColorAt(0.28, QColor(0, 0, 0, 0));
    shade.setColorAt(0.72, QColor(0, 0, 0, 0));
    shade.setColorAt(1.0, QColor(0, 0, 0, 200));
    painter->setBrush(shade);
    for (int i = 0; i < Digits; ++i) {
        painter->drawRect(drumRect(i));
    }
    // A glint across the window glass.
    painter->setBrush(QColor(255, 255, 255, 28));
    painter->drawRect(QRectF(Window.left(), Window.top() + 3.0, Window.width(), 6.0));
    painter->restore();
}

} // namespace climate::widgets

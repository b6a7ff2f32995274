#include "NumericReadout.h"

#include "InstrumentPainting.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace climate::widgets {

namespace {

// Logical height of the field; the width follows the widget's shape.
constexpr double Height = 24.0;
constexpr double TextPixels = 14.5;

} // namespace

NumericReadout::NumericReadout(QWidget* parent) : ValueInstrument(0.0, 0.0, 1, parent) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void NumericReadout::setValue(double value) {
    if (holdValue(value)) {
        emit valueChanged(value);
    }
}

QSize NumericReadout::sizeHint() const {
    return {64, 22};
}

QSize NumericReadout::minimumSizeHint() const {
    return {36, 14};
}

void NumericReadout::paintEvent(QPaintEvent* /*event*/) {
    const double scale = std::max(0.1, height() / Height);
    const QRectF field(0.0, 0.0, width() / scale, Height);
    const qreal dpr = devicePixelRatioF();
    if (!background().isValid(size(), dpr)) {
        QPainter p(&background().rebuild(size(), dpr));
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(scale, scale);
        drawField(&p, field);
    }

    QPainter painter(this);
    painter.drawPixmap(0, 0, background().pixmap());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);

    const QString shown = text();
    const QRectF textRect = field.adjusted(4.0, 2.0, -4.0, -2.0);
    QFont textFont = InstrumentPainting::logicalFont(font(), TextPixels, scale, 8.0, true);
    const double width = QFontMetricsF(textFont).horizontalAdvance(shown);
    // A long value shrinks rather than being cut off.
    if (width > textRect.width() && width > 0.0) {
        textFont.setPixelSize(
            std::max(1, static_cast<int>(textFont.pixelSize() * textRect.width() / width)));
    }
    const QFontMetricsF metrics(textFont);
    painter.setFont(textFont);
    painter.setPen(palette().color(QPalette::Active, QPalette::Text));
    const double w = metrics.horizontalAdvance(shown);
    painter.drawText(
        QPointF(textRect.center().x() - w / 2.0, textRect.center().y() + metrics.capHeight() / 2.0),
        shown);
}

void NumericReadout::drawField(QPainter* painter, const QRectF& field) const {
    const QPalette& pal = palette();
    const QRectF box = field.adjusted(0.5, 0.5, -0.5, -0.5);
    painter->save();
    QLinearGradient rim(box.topLeft(), box.bottomLeft());
    rim.setColorAt(0.0, pal.color(QPalette::Active, QPalette::Dark));
    rim.setColorAt(1.0, pal.color(QPalette::Active, QPalette::Light));
    painter->setPen(Qt::NoPen);
    painter->setBrush(rim);
    painter->drawRoundedRect(box, 3.0, 3.0);

    const QRectF inner = box.adjusted(1.3, 1.3, -1.3, -1.3);
    const QColor base = pal.color(QPalette::Active, QPalette::Base);
    QLinearGradient fill(inner.topLeft(), inner.bottomLeft());
    fill.setColorAt(0.0, base.darker(112));
    fill.setColorAt(0.25, base);
    fill.setColorAt(1.0, base);
    painter->setBrush(fill);
    painter->drawRoundedRect(inner, 2.2, 2.2);
    painter->restore();
}

} // namespace climate::widgets

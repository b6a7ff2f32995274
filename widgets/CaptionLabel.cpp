#include "CaptionLabel.h"

namespace climate::widgets {

CaptionLabel::CaptionLabel(QWidget* parent) : CaptionLabel(QString(), parent) {}

CaptionLabel::CaptionLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setAutoFillBackground(false);
    setAttribute(Qt::WA_TranslucentBackground);
}

void CaptionLabel::setTextColor(const QColor& color) {
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
}

QColor CaptionLabel::textColor() const {
    return palette().color(QPalette::WindowText);
}

} // namespace climate::widgets

#include "ShownPictureLabel.h"

#include <QPixmap>

namespace climate::app {

ShownPictureLabel::ShownPictureLabel(const QString& picturePath, QWidget* parent)
    : QLabel(parent), m_picturePath(picturePath) {}

void ShownPictureLabel::showEvent(QShowEvent* event) {
    if (pixmap().isNull()) {
        setPixmap(QPixmap(m_picturePath));
    }
    QLabel::showEvent(event);
}

void ShownPictureLabel::hideEvent(QHideEvent* event) {
    QLabel::hideEvent(event);
    setPixmap(QPixmap());
}

} // namespace climate::app

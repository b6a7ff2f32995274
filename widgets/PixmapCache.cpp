#include "PixmapCache.h"

#include <QtMath>

bool PixmapCache::isValid(QSize size, qreal devicePixelRatio) const {
    return valid_ && size == size_ && qFuzzyCompare(devicePixelRatio, devicePixelRatio_);
}

QPixmap& PixmapCache::rebuild(QSize size, qreal devicePixelRatio) {
    const QSize device(qCeil(size.width() * devicePixelRatio),
                       qCeil(size.height() * devicePixelRatio));
    pixmap_ = QPixmap(device.expandedTo(QSize(1, 1)));
    pixmap_.setDevicePixelRatio(devicePixelRatio);
    pixmap_.fill(Qt::transparent);
    size_ = size;
    devicePixelRatio_ = devicePixelRatio;
    valid_ = true;
    return pixmap_;
}

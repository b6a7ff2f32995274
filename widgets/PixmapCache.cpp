#include "PixmapCache.h"

#include <QtMath>

namespace climate::widgets {

bool PixmapCache::isValid(QSize size, qreal devicePixelRatio) const {
    return m_valid && size == m_size && qFuzzyCompare(devicePixelRatio, m_devicePixelRatio);
}

QPixmap& PixmapCache::rebuild(QSize size, qreal devicePixelRatio) {
    const QSize device(qCeil(size.width() * devicePixelRatio),
                       qCeil(size.height() * devicePixelRatio));
    m_pixmap = QPixmap(device.expandedTo(QSize(1, 1)));
    m_pixmap.setDevicePixelRatio(devicePixelRatio);
    m_pixmap.fill(Qt::transparent);
    m_size = size;
    m_devicePixelRatio = devicePixelRatio;
    m_valid = true;
    return m_pixmap;
}

} // namespace climate::widgets

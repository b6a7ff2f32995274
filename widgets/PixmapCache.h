#pragma once

#include <QPixmap>
#include <QSize>

namespace climate::widgets {

// A pixmap of what does not move (bezel, scale, labels), kept until the widget's size, its device
// pixel ratio or its look changes. Instruments refreshed on every poll then only draw the moving
// part on top.
class PixmapCache {
public:
    [[nodiscard]] bool isValid(QSize size, qreal devicePixelRatio) const;
    // A fresh transparent pixmap of `size` logical pixels at `devicePixelRatio`, marked valid.
    QPixmap& rebuild(QSize size, qreal devicePixelRatio);
    void invalidate() { m_valid = false; }
    [[nodiscard]] const QPixmap& pixmap() const { return m_pixmap; }

private:
    QPixmap m_pixmap;
    QSize m_size;
    qreal m_devicePixelRatio = 0.0;
    bool m_valid = false;
};

} // namespace climate::widgets

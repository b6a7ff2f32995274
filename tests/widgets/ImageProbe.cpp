#include "ImageProbe.h"

#include <QCoreApplication>
#include <QWidget>

#include <cstdlib>

QImage ImageProbe::grab(QWidget& widget, QSize size) {
    widget.resize(size);
    QImage image = widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    image.setDevicePixelRatio(1.0);
    return image;
}

QImage ImageProbe::renderTransparent(QWidget& widget, QSize size) {
    widget.resize(size);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(1.0);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image.convertToFormat(QImage::Format_ARGB32);
}

int ImageProbe::count(const QImage& image, const PixelTest& test, const QRect& area) {
    const QRect r = area.isNull() ? image.rect() : area.intersected(image.rect());
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            n += test(image.pixelColor(x, y)) ? 1 : 0;
        }
    }
    return n;
}

QPointF ImageProbe::centroid(const QImage& image, const PixelTest& test) {
    double sx = 0.0;
    double sy = 0.0;
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (test(image.pixelColor(x, y))) {
                sx += x;
                sy += y;
                ++n;
            }
        }
    }
    return n == 0 ? QPointF(-1, -1) : QPointF(sx / n, sy / n);
}

bool ImageProbe::near(const QColor& a, const QColor& b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

int ImageProbe::brightness(const QColor& c) {
    return c.red() + c.green() + c.blue();
}

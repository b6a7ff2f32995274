#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QRect>
#include <QSize>

#include <functional>

class QWidget;

// Renders a widget at a fixed size with device pixel ratio 1 and looks at chosen pixels.
struct ImageProbe {
    using PixelTest = std::function<bool(const QColor&)>;

    // The widget resized to `size` and grabbed, as it shows on screen.
    [[nodiscard]] static QImage grab(QWidget& widget, QSize size);
    // Only what the widget paints itself, over a transparent image.
    [[nodiscard]] static QImage renderTransparent(QWidget& widget, QSize size);

    [[nodiscard]] static int count(const QImage& image, const PixelTest& test,
                                   const QRect& area = {});
    // Mean position of the pixels that pass; (-1, -1) when none does.
    [[nodiscard]] static QPointF centroid(const QImage& image, const PixelTest& test);
    // Each channel within `tolerance`.
    [[nodiscard]] static bool near(const QColor& a, const QColor& b, int tolerance);
    [[nodiscard]] static int brightness(const QColor& c);
};

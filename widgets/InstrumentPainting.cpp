#include "InstrumentPainting.h"

#include <QPalette>

#include <algorithm>
#include <cmath>

namespace climate::widgets {

QTransform InstrumentPainting::fit(const QRectF& logical, const QRectF& target) {
    const double scale = fitScale(logical, target);
    QTransform t;
    t.translate(target.center().x(), target.center().y());
    t.scale(scale, scale);
    t.translate(-logical.center().x(), -logical.center().y());
    return t;
}

double InstrumentPainting::fitScale(const QRectF& logical, const QRectF& target) {
    if (logical.width() <= 0.0 || logical.height() <= 0.0)
        return 1.0;
    const double scale =
        std::min(target.width() / logical.width(), target.height() / logical.height());
    return std::max(scale, 1e-3);
}

QFont InstrumentPainting::logicalFont(QFont base, double logicalPixels, double deviceScale,
                                      double minDevicePixels, bool bold) {
    const double pixels = std::max(logicalPixels, minDevicePixels / std::max(deviceScale, 1e-3));
    // Pixel sizes do not depend on the paint device's dots per inch, point sizes would.
    base.setPixelSize(std::max(1, static_cast<int>(std::lround(pixels))));
    base.setBold(bold);
    base.setHintingPreference(QFont::PreferNoHinting);
    return base;
}

QLinearGradient InstrumentPainting::metalGradient(const QRectF& box, const QPalette& palette,
                                                  bool raised) {
    QLinearGradient g(box.topLeft(), box.bottomRight());
    const QColor light = palette.color(QPalette::Light);
    const QColor mid = palette.color(QPalette::Mid);
    const QColor dark = palette.color(QPalette::Dark).darker(150);
    g.setColorAt(raised ? 0.0 : 1.0, light);
    g.setColorAt(0.5, mid);
    g.setColorAt(raised ? 1.0 : 0.0, dark);
    return g;
}

QColor InstrumentPainting::dimmed(const QColor& lit) {
    float h = 0.0F;
    float s = 0.0F;
    float v = 0.0F;
    float a = 0.0F;
    lit.toHsv().getHsvF(&h, &s, &v, &a);
    return QColor::fromHsvF(h, s * 0.85F, v * 0.32F, a);
}

QColor InstrumentPainting::withAlpha(QColor color, int alpha) {
    color.setAlpha(std::clamp(alpha, 0, 255));
    return color;
}

} // namespace climate::widgets

#pragma once

#include <QColor>
#include <QFont>
#include <QLinearGradient>
#include <QRectF>
#include <QTransform>

class QPainter;
class QPalette;

namespace climate::widgets {

// Drawing helpers shared by the instruments: fitting a fixed logical design into the widget,
// legible fonts at small sizes, metal and dimmed colours.
namespace InstrumentPainting {
// Uniform scale that fits `logical` into `target`, centred: every instrument is drawn in its
// own fixed coordinates and stays crisp at any size and device pixel ratio.
[[nodiscard]] QTransform fit(const QRectF& logical, const QRectF& target);
[[nodiscard]] double fitScale(const QRectF& logical, const QRectF& target);

// A font for text drawn in logical units under a painter scaled by `deviceScale`: nominally
// `logicalPixels` tall, but never below `minDevicePixels` on screen so small instruments stay
// readable.
[[nodiscard]] QFont logicalFont(QFont base, double logicalPixels, double deviceScale,
                                double minDevicePixels, bool bold = false);

// Brushed-metal ring colours from the palette: raised (light top-left) or sunk (reversed).
[[nodiscard]] QLinearGradient metalGradient(const QRectF& box, const QPalette& palette,
                                            bool raised);

// An unlit lamp: the lit colour with its brightness and saturation taken down.
[[nodiscard]] QColor dimmed(const QColor& lit);

// Colour with a different alpha, for shadows and highlights.
[[nodiscard]] QColor withAlpha(QColor color, int alpha);
} // namespace InstrumentPainting

} // namespace climate::widgets

#include "widgets/CaptionLabel.h"
#include "ImageProbe.h"

#include <gtest/gtest.h>

using namespace climate::widgets;

namespace {

TEST(CaptionLabel, DrawsOnlyItsText) {
    CaptionLabel label(QStringLiteral("Set Temp "));
    label.setTextColor(Qt::white);
    EXPECT_EQ(label.textColor(), QColor(Qt::white));
    const QImage image = ImageProbe::renderTransparent(label, QSize(80, 20));
    auto painted = [](const QColor& c) { return c.alpha() > 0; };
    auto whiteInk = [](const QColor& c) {
        return c.alpha() > 200 && ImageProbe::brightness(c) > 700;
    };
    // Some white text, and the rest of the picture left clear for what lies behind.
    EXPECT_GT(ImageProbe::count(image, whiteInk), 10);
    EXPECT_LT(ImageProbe::count(image, painted), 80 * 20 / 3);
    EXPECT_EQ(image.pixelColor(79, 19).alpha(), 0);
}

} // namespace

// Each page rendered offscreen at the window's fixed size, saved for a look by eye, and checked
// for the things a broken layout would lose.
#include "app/TForm1.h"
#include "support/RecordingPresenter.h"

#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QTabWidget>

#include <gtest/gtest.h>

using namespace climate::app;

namespace {

class WindowRender : public ::testing::TestWithParam<int> {};

TEST_P(WindowRender, PageFitsTheWindowAndIsSaved) {
    TForm1 form(QStringList{}, std::make_unique<RecordingPresenter>(), [](int) {});
    form.resize(TForm1::FixedWidth, TForm1::FixedHeight);
    auto* data = form.findChild<QTabWidget*>(QStringLiteral("Data"));
    data->setCurrentIndex(GetParam());
    form.show();

    // Every group lies wholly inside its page, so nothing is cut off at the fixed size.
    QWidget* page = data->currentWidget();
    for (QGroupBox* group : page->findChildren<QGroupBox*>()) {
        if (group->parentWidget() == page) {
            EXPECT_TRUE(page->rect().contains(group->geometry()))
                << group->title().toStdString() << " leaves its page";
        }
    }

    QImage image = form.grab().toImage();
    image.setDevicePixelRatio(1);
    ASSERT_EQ(image.size(), QSize(TForm1::FixedWidth, TForm1::FixedHeight));
    // A page is not blank: it has many colours.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4) {
        for (int x = 0; x < image.width(); x += 4) {
            colours.insert(image.pixel(x, y));
        }
    }
    EXPECT_GT(colours.size(), 20);

    QDir().mkpath(QStringLiteral(PAGE_SHOTS_DIR));
    const QString names[] = {QStringLiteral("configuration"), QStringLiteral("realtimedata"),
                             QStringLiteral("declaration")};
    EXPECT_TRUE(
        image.save(QDir(QStringLiteral(PAGE_SHOTS_DIR)).filePath(names[GetParam()] + ".png")));
}

INSTANTIATE_TEST_SUITE_P(Pages, WindowRender, ::testing::Values(0, 1, 2));

} // namespace

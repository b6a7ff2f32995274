#include <QApplication>

#include <gtest/gtest.h>

// The plot is a real widget, so the tests need an application object; test discovery runs the
// program outside CTest's environment, hence the platform default here.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The one entry point of the test programs that need Qt: one QApplication for the whole program,
// as in the tool itself. The platform is taken from QT_QPA_PLATFORM when set, offscreen otherwise
// (test discovery runs the programs outside the tests' environment). The window's test programs
// also install the accessibility factories the tool installs.
#ifdef CLIMATE_TEST_MAIN_INSTRUMENTS
#include "widgets/InstrumentAccessibility.h"
using namespace climate::widgets;
#endif
#ifdef CLIMATE_TEST_MAIN_WINDOW
#include "app/ComboBoxAccessible.h"
using namespace climate::app;
#endif

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
#ifdef CLIMATE_TEST_MAIN_INSTRUMENTS
    installInstrumentAccessibility();
#endif
#ifdef CLIMATE_TEST_MAIN_WINDOW
    ComboBoxAccessible::install();
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

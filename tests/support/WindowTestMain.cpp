// The entry point of the test programs that build the window: one offscreen QApplication for
// the whole program, as in the tool itself, with the accessibility factories installed.
#include "app/ComboBoxAccessible.h"
#include "widgets/InstrumentAccessibility.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    installInstrumentAccessibility();
    ComboBoxAccessible::install();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

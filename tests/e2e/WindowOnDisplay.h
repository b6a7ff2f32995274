#pragma once

#include "WindowOnSimulator.h"
#include "support/RealInput.h"

#include <QGuiApplication>

#include <gtest/gtest.h>

// The window against the simulator, shown and active on a real display (xcb under Xvfb, or the
// Windows platform under Wine), for tests that drive it with real input events.
class WindowOnDisplay : public WindowOnSimulator {
protected:
    void SetUp() override {
        ASSERT_TRUE(QGuiApplication::platformName() == QStringLiteral("xcb") ||
                    QGuiApplication::platformName() == QStringLiteral("windows"))
            << "this test needs real windows, not "
            << QGuiApplication::platformName().toStdString();
        WindowOnSimulator::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_EQ(RealInput::showAndActivate(form.get()), "");
    }
};

#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

// Waiting in tests that need the Qt event loop turning (serial ports, timers, processes): both
// helpers need a QCoreApplication and return to the caller every few milliseconds to check.

// Runs the event loop until `done()` holds or `timeoutMs` have passed; true if it held.
inline bool spinUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() >= timeoutMs) {
            return false;
        }
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Runs the event loop for `ms` milliseconds.
inline void spinFor(int ms) {
    (void)spinUntil([] { return false; }, ms);
}

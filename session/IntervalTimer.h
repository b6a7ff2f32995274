#pragma once

#include <QTimer>

namespace climate::session {

// A QTimer whose interval setter keeps the countdown when the value does not change. QTimer
// restarts on every setInterval(), which would push the engine's 10 ms receive ticks back on
// every tick.
class IntervalTimer : public QTimer {
    Q_OBJECT

public:
    explicit IntervalTimer(QObject* parent = nullptr) : QTimer(parent) {}

    void setIntervalMs(int milliseconds) {
        if (milliseconds != interval()) {
            setInterval(milliseconds);
        }
    }
};

} // namespace climate::session

#include "HeadlessWindow.h"

namespace climate::cli {

HeadlessWindow::HeadlessWindow(std::function<void()> tick,
                               std::function<void(const link::UserMessage&)> tell)
    : m_tell(std::move(tell)) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(10);
    QObject::connect(&m_timer, &QTimer::timeout, [tick = std::move(tick)] { tick(); });
}

void HeadlessWindow::startEngine() {
    m_timer.start();
}

void HeadlessWindow::stopEngine() {
    m_timer.stop();
}

void HeadlessWindow::setEngineInterval(int milliseconds) {
    // QTimer restarts its countdown on every setInterval(); the engine's receive ticks would be
    // pushed back on every tick.
    if (milliseconds != m_timer.interval()) {
        m_timer.setInterval(milliseconds);
    }
}

void HeadlessWindow::show(const link::UserMessage& message, std::function<void()> onClosed) {
    if (m_tell) {
        m_tell(message);
    }
    if (onClosed) {
        QTimer::singleShot(0, &m_timer, std::move(onClosed));
    }
}

} // namespace climate::cli

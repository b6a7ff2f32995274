#include "EngineDriver.h"

#include "FakeEngineWindow.h"
#include "FakeSerialPort.h"
#include "link/CommEngine.h"

#include <QScopeGuard>

void EngineDriver::tick() {
    m_port.advanceTick();
    m_elapsedMs += m_window.engineInterval();
    // As the window's Timer2 handler: the engine's wait goes to the timer after the tick.
    const auto applyInterval =
        qScopeGuard([this] { m_window.setEngineInterval(m_engine.timerIntervalMs()); });
    m_engine.tick(m_window.visiblePage());
}

void EngineDriver::run(int ticks) {
    for (int i = 0; i < ticks; ++i) {
        tick();
    }
}

std::optional<int> EngineDriver::runUntil(const std::function<bool()>& done, int maxTicks) {
    for (int i = 1; i <= maxTicks; ++i) {
        tick();
        if (done()) {
            return i;
        }
    }
    return std::nullopt;
}

void EngineDriver::showPage(int page) {
    m_window.setVisiblePage(page);
    tick();
}

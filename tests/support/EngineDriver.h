#pragma once

#include <cstdint>
#include <functional>
#include <optional>

class FakeEngineWindow;
class FakeSerialPort;

namespace climate::link {
class CommEngine;
} // namespace climate::link

// Runs the engine tick by tick the way the engine timer would, against the fake port and window.
// Each tick: the fake port's clock moves on (bytes scheduled for that tick arrive), the simulated
// time moves on by the engine interval in force, then CommEngine::tick() runs on the fake window's
// visible page, and the interval the engine asks for is applied to the fake timer. The k-th tick
// run through one driver therefore happens at port tick k (when the port's clock started at 0).
class EngineDriver {
public:
    EngineDriver(climate::link::CommEngine& engine, FakeSerialPort& port, FakeEngineWindow& window)
        : m_engine(engine), m_port(port), m_window(window) {}

    void tick();
    void run(int ticks);
    // Ticks until `done()` holds after a tick; returns the number of ticks that took, or nothing
    // when it still does not hold after `maxTicks`.
    std::optional<int> runUntil(const std::function<bool()>& done, int maxTicks);
    // Shows `page` and runs the first tick on it (which only resets and purges).
    void showPage(int page);

    // Milliseconds of simulated time: the sum of the engine intervals the ticks waited for.
    [[nodiscard]] std::int64_t elapsedMs() const { return m_elapsedMs; }

private:
    climate::link::CommEngine& m_engine;
    FakeSerialPort& m_port;
    FakeEngineWindow& m_window;
    std::int64_t m_elapsedMs = 0;
};

#pragma once

#include <QString>

#include <cstdint>
#include <span>

namespace climate::link {
class EngineObserver;
class SerialPort;
class TrafficHistory;
} // namespace climate::link

namespace climate::monitor {

// What the bus monitor needs of the tool around it; the window that composes the tool implements
// it.
class MonitorHost {
public:
    virtual ~MonitorHost() = default;

    // Attaches the monitor's observer to the engine; nullptr detaches it.
    virtual void observeEngine(link::EngineObserver* observer) = 0;
    // The engine's last events, kept while the monitor is closed.
    [[nodiscard]] virtual const link::TrafficHistory& history() const = 0;
    // The port the engine uses; the controller search borrows it while the engine is paused.
    [[nodiscard]] virtual link::SerialPort& port() = 0;
    [[nodiscard]] virtual bool portOpen() const = 0;
    [[nodiscard]] virtual bool commandBusy() const = 0;
    // Stops the engine's timers as a closed port does, and starts them again.
    virtual void pauseEngine() = 0;
    virtual void resumeEngine() = 0;
    // Talks to the controller at `address` from now on, as the "Comm Address" Set does.
    virtual void useAddress(int address) = 0;
    // The firmware version text from the 24 bytes the controller holds it in.
    [[nodiscard]] virtual QString firmwareText(std::span<const std::uint8_t> bytes) const = 0;
};

} // namespace climate::monitor

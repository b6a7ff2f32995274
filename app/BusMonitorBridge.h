#pragma once

#include "TForm1.h"

#include "monitor/BusMonitorWindow.h"
#include "monitor/MonitorHost.h"

namespace climate::app {

// What the bus monitor sees of the tool: the engine and its port, the engine's timers, the
// port-open test of the window and the "Comm Address" Set.
class TForm1::MonitorBridge : public climate::monitor::MonitorHost {
public:
    explicit MonitorBridge(TForm1& form) : m_form(form) {}

    void observeEngine(link::EngineObserver* observer) override;
    [[nodiscard]] const link::TrafficHistory& history() const override;
    link::SerialPort& port() override;
    [[nodiscard]] bool portOpen() const override;
    [[nodiscard]] bool commandBusy() const override;
    void pauseEngine() override;
    void resumeEngine() override;
    void useAddress(int address) override;
    [[nodiscard]] QString firmwareText(std::span<const std::uint8_t> bytes) const override;

private:
    TForm1& m_form;
    link::EngineObserver* m_observer = nullptr;
};

} // namespace climate::app

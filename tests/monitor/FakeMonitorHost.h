#pragma once

#include "link/TrafficHistory.h"
#include "monitor/MonitorHost.h"
#include "support/FakeSerialPort.h"

#include <vector>

// The tool around the monitor, for tests: a fake port, a busy flag, and records of what the
// monitor asked for.
struct FakeMonitorHost : climate::monitor::MonitorHost {
    FakeMonitorHost() { fakePort.setOpen(true); }

    void observeEngine(climate::link::EngineObserver* attached) override { observer = attached; }
    [[nodiscard]] const climate::link::TrafficHistory& history() const override { return traffic; }
    climate::link::SerialPort& port() override { return fakePort; }
    [[nodiscard]] bool portOpen() const override { return fakePort.isOpen(); }
    [[nodiscard]] bool commandBusy() const override { return busy; }
    void pauseEngine() override { ++pauses; }
    void resumeEngine() override { ++resumes; }
    void useAddress(int address) override { usedAddresses.push_back(address); }
    [[nodiscard]] QString firmwareText(std::span<const std::uint8_t> bytes) const override {
        return QString::fromLatin1(reinterpret_cast<const char*>(bytes.data()),
                                   static_cast<qsizetype>(bytes.size()))
            .section(QChar(0), 0, 0);
    }

    FakeSerialPort fakePort;
    climate::link::EngineObserver* observer = nullptr;
    climate::link::TrafficHistory traffic;
    bool busy = false;
    int pauses = 0;
    int resumes = 0;
    std::vector<int> usedAddresses;
};

#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Sits on the line between the tool and the simulator and notes when each chunk of bytes went
// through. The tool opens toolDevice(), a pseudo-terminal of the relay's own; a thread copies
// everything between it and the simulator's device at once and timestamps it. The time a reply's
// bytes were handed to the tool's terminal is the time they arrived at the tool.
class PtyRelay {
public:
    using Clock = std::chrono::steady_clock;

    struct Chunk {
        Clock::time_point at;
        bool fromTool = false; // a request; otherwise a reply from the simulator
        std::vector<std::uint8_t> bytes;
    };

    PtyRelay() = default;
    ~PtyRelay();
    PtyRelay(const PtyRelay&) = delete;
    PtyRelay& operator=(const PtyRelay&) = delete;

    // Opens the simulator's device and a terminal pair for the tool, and starts copying. On
    // failure, error() tells why.
    bool start(const std::string& simulatorDevice);
    void stop();

    [[nodiscard]] const std::string& toolDevice() const { return m_toolDevice; }
    [[nodiscard]] const std::string& error() const { return m_error; }
    // Every chunk so far, oldest first.
    [[nodiscard]] std::vector<Chunk> chunks() const;

private:
    void run();
    bool forward(int from, int to, bool fromTool);

    int m_master = -1;
    int m_slave = -1; // held open so that the master reads no hang-up before the tool opens
    int m_simulator = -1;
    std::string m_toolDevice;
    std::string m_error;
    std::atomic<bool> m_running{false};
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::vector<Chunk> m_chunks;
};

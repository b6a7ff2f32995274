#pragma once

#include "CommandInterpreter.h"
#include "FaultPlan.h"
#include "Line.h"
#include "LinkControl.h"
#include "MbapFraming.h"
#include "RequestFramer.h"
#include "TcpLink.h"
#include "UniqueFd.h"
#include "UnitModel.h"
#include "UnitServer.h"

#include <chrono>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace sim {

// The simulator process: serves the unit on a pseudo-terminal or a TCP port, takes console
// commands from standard input and moves the model once a second, all from one poll() loop that
// sleeps until the next thing is due.
class Simulator final : public LinkControl {
public:
    // How requests and replies travel over TCP: RTU frames as they are (a serial device server)
    // or under MBAP headers (a Modbus TCP gateway). A pseudo-terminal always carries RTU.
    enum class Framing { Rtu, Mbap };

    struct Options {
        std::filesystem::path link;           // the pseudo-terminal's link, or
        std::optional<TcpLink::Endpoint> tcp; // the address to listen on
        Framing framing = Framing::Rtu;
        int address = 1;
        int baud = 9600;
    };

    explicit Simulator(Options options);

    // Serves until SIGINT, SIGTERM, SIGHUP or "quit"; returns the process exit code.
    int run();

    void pull() override;
    bool plug(std::string& result) override;
    void sendNoise(std::size_t count) override;
    void quit() override { m_quit = true; }

private:
    using Clock = std::chrono::steady_clock;

    struct PendingBytes {
        Clock::time_point due;
        std::vector<std::uint8_t> bytes;
    };

    [[nodiscard]] int pollTimeout(Clock::time_point now) const;
    void readConsole();
    void readLine(Clock::time_point now);
    void serveFrames(Clock::time_point now);
    void writeDue(Clock::time_point now);
    void tickModel(Clock::time_point now);
    // Forgets what was on its way to the client and what it had half sent.
    void restartStream();

    Options m_options;
    UnitModel m_model;
    FaultPlan m_faults;
    UnitServer m_server{m_model, m_faults};
    CommandInterpreter m_console{m_model, m_faults, m_server.stats(), *this};
    std::unique_ptr<Line> m_link;
    RequestFramer m_framer;
    MbapRequestFramer m_mbapFramer;
    std::deque<PendingBytes> m_output;
    bool m_waitingWritable = false;
    UniqueFd m_signals;
    bool m_consoleOpen = true;
    std::string m_consoleBuffer;
    bool m_quit = false;
    bool m_modelWasRunning = false;
    Clock::time_point m_nextTick{};
    std::minstd_rand m_noise{std::random_device{}()};
};

} // namespace sim

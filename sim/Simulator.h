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
    void quit() override { quit_ = true; }

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

    Options options_;
    UnitModel model_;
    FaultPlan faults_;
    UnitServer server_{model_, faults_};
    CommandInterpreter console_{model_, faults_, server_.stats(), *this};
    std::unique_ptr<Line> link_;
    RequestFramer framer_;
    MbapRequestFramer mbapFramer_;
    std::deque<PendingBytes> output_;
    bool waitingWritable_ = false;
    UniqueFd signals_;
    bool consoleOpen_ = true;
    std::string consoleBuffer_;
    bool quit_ = false;
    bool modelWasRunning_ = false;
    Clock::time_point nextTick_{};
    std::minstd_rand noise_{std::random_device{}()};
};

} // namespace sim

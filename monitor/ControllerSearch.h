#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <vector>

namespace climate::link {
class SerialPort;
} // namespace climate::link

namespace climate::monitor {

// Finds the controller on the bus when its address is not known: one read of input register 0
// (count 1) to each address in turn, waiting at most ProbeWaitMs for each and less when the
// reply comes sooner; then the firmware version of every address that answered. A reply is
// attributed by its address byte, so one that comes late still counts, and an exception reply
// counts as an answer. Nothing is written to the controller.
//
// The search owns the port while it runs: the engine's timers are stopped (as when the port is
// closed) through `pauseEngine`, and afterwards the input is purged and `resumeEngine` restarts
// them, but only if the port is still open. It runs on a short timer that looks at the input;
// it never waits. cancel() and a port that closes under it end it at once.
class ControllerSearch : public QObject {
    Q_OBJECT

public:
    static constexpr int FirstAddress = 1;
    static constexpr int LastAddress = 255; // the tool's own address setting accepts up to 255
    static constexpr int ProbeWaitMs = 150;
    static constexpr int FirmwareWaitMs = 500;
    static constexpr int LookIntervalMs = 5;

    struct Hooks {
        std::function<void()> pauseEngine;
        std::function<void()> resumeEngine;
        // The firmware version text from its 24 bytes; Latin-1 up to the first zero by default.
        std::function<QString(std::span<const std::uint8_t>)> firmwareText;
    };

    struct Found {
        int address = 0;
        bool exception = false; // answered the probe with an exception reply
        std::uint8_t exceptionCode = 0;
        bool firmwareDone = false; // the firmware read has ended (answered or not)
        QString firmware;          // empty until read, or when it could not be read
        QString firmwareNote;      // why there is none ("no reply", "exception 2 ...")
    };

    enum class End { Completed, Cancelled, PortClosed };
    Q_ENUM(End)

    ControllerSearch(link::SerialPort& port, Hooks hooks, QObject* parent = nullptr);
    ~ControllerSearch() override;

    // Starts a search over [first, last]; false (and nothing happens) when one runs or the port
    // is closed.
    bool start(int first = FirstAddress, int last = LastAddress);
    // Ends a running search at once; nothing when none runs.
    void cancel();

    [[nodiscard]] bool isRunning() const { return m_running; }
    // Addresses probed so far and in all.
    [[nodiscard]] int probed() const { return m_probed; }
    [[nodiscard]] int total() const { return m_last - m_first + 1; }
    [[nodiscard]] std::vector<Found> found() const;

signals:
    void progressed(int probed, int total);
    void foundChanged();
    void finished(climate::monitor::ControllerSearch::End end);

private:
    enum class Phase { Probe, Firmware };

    void look();
    void sendProbe();
    void sendFirmwareRead();
    void nextFirmwareRead();
    // Takes complete frames off the front of the input seen so far; drops bytes that start none.
    void takeFrames();
    void accept(std::span<const std::uint8_t> frame);
    void finish(End end);

    link::SerialPort& m_port;
    Hooks m_hooks;
    QTimer m_look;
    QElapsedTimer m_sinceSend;
    bool m_running = false;
    Phase m_phase = Phase::Probe;
    int m_first = FirstAddress;
    int m_last = LastAddress;
    int m_address = 0; // address asked last
    int m_probed = 0;
    bool m_answered = false; // the address asked last has answered
    std::vector<std::uint8_t> m_input;
    std::map<int, Found> m_found;
};

} // namespace climate::monitor

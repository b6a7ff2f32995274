#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

class SimulatorChannel;

// The controller simulator (climate-sim) as a child process serving a pseudo-terminal, for tests
// that go through a real serial port.
//
//     SimulatorProcess sim;
//     ASSERT_TRUE(sim.start()) << sim.diagnostics().toStdString();
//     port.open(sim.linkPath().toStdString());
//     EXPECT_TRUE(sim.command("noise 2000").startsWith("ok"));
//
// start() gives the simulator a fresh link path in a temporary folder and waits for its
// "ready <path>" line. command() writes one control line to its standard input and waits for the
// answer line. While they wait, both run the Qt event loop when a QCoreApplication exists, so a
// QSerialPort in the test keeps receiving; without one they block on the process.
// The simulator is stopped with SIGTERM (then killed if it lingers) by stop() and the destructor.
class SimulatorProcess {
public:
    // `program`: the simulator binary; by default the one this build made.
    explicit SimulatorProcess(QString program = programPath());
    ~SimulatorProcess();
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    // Path of the climate-sim binary of this build (empty when the build has none).
    [[nodiscard]] static QString programPath();

    // Runs `climate-sim --link <temporary folder>/link <extraArguments>` (e.g. {"--address", "7"})
    // and waits until it reports "ready". False if it does not start, exits or stays silent.
    bool start(const QStringList& extraArguments = {}, int timeoutMs = 10000);
    // Runs `climate-sim --tcp 127.0.0.1:0 --framing <framing> <extraArguments>` (framing "rtu" or
    // "mbap") and waits until it reports "ready HOST:PORT".
    bool startTcp(const QString& framing, const QStringList& extraArguments = {},
                  int timeoutMs = 10000);
    // The serial device to open while the simulator runs (a link to its pseudo-terminal).
    [[nodiscard]] QString linkPath() const { return m_linkPath; }
    // HOST:PORT the simulator listens on, after startTcp().
    [[nodiscard]] QString tcpAddress() const { return m_tcpAddress; }
    // The port name the tool opens: the link path, rtu+tcp://HOST:PORT or tcp://HOST:PORT.
    [[nodiscard]] QString portName() const;
    [[nodiscard]] bool isRunning() const;

    // Sends one control line ("noise 2000", "pull", "plug", "silent on", "set hr 3 250",
    // "get hr 0 2") and returns the simulator's answer line ("ok ..." on success), or an empty
    // string when none came within `timeoutMs` or the simulator is not running.
    QString command(const QString& line, int timeoutMs = 5000);
    // command() answered with a line starting with "ok".
    bool commandOk(const QString& line, int timeoutMs = 5000);

    // SIGTERM, then SIGKILL if it has not ended within a few seconds.
    void stop();

    // Everything the simulator printed (standard output and standard error) and why start() or
    // command() failed: for assertion messages.
    [[nodiscard]] QString diagnostics() const;

private:
    // Starts the program with `arguments` and waits for its ready line; `acceptReady` checks the
    // rest of that line.
    bool launch(const QStringList& arguments, int timeoutMs,
                const std::function<bool(const QString&)>& acceptReady);
    // Waits for one complete line on standard output; empty when none came in time.
    QString nextLine(int timeoutMs);
    void collectOutput();

    QString m_program;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<SimulatorChannel> m_process;
    QString m_linkPath;
    QString m_tcpAddress;
    QString m_framing;    // empty: pseudo-terminal
    QByteArray m_pending; // standard output not yet split into lines
    QString m_transcript;
    QString m_failure;
};

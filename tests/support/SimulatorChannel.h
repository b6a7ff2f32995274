#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

// The running simulator's standard input and output, whatever carries them: a child process on
// Linux (SimulatorChannelPosix.cpp); under Wine, where a Linux program's output does not reach
// a Windows pipe, the host service runs the simulator and passes its input and output over a
// loopback connection (SimulatorChannelWin.cpp, host_service.py).
class SimulatorChannel : public QObject {
    Q_OBJECT

public:
    // The channel of this build.
    static std::unique_ptr<SimulatorChannel> create();
    // Whether the simulator's pseudo-terminal can stand in for a serial port here. Under Wine a
    // COM port mapped onto one opens and sends, but its replies never reach QSerialPort.
    static bool servesSerialPorts();
    ~SimulatorChannel() override = default;

    // Starts `program` with `arguments`; false with errorString() when it does not start.
    virtual bool start(const QString& program, const QStringList& arguments, int timeoutMs) = 0;
    [[nodiscard]] virtual QString errorString() const = 0;
    [[nodiscard]] virtual bool isRunning() const = 0;
    virtual void write(const QByteArray& bytes) = 0;
    // What the simulator printed since the last call: standard output and standard error.
    virtual QByteArray readOutput() = 0;
    virtual QByteArray readErrors() = 0;
    // Waits up to `timeoutMs` for output without an event loop.
    virtual void waitForOutput(int timeoutMs) = 0;
    // Ends the simulator politely (SIGTERM), then by force if it lingers.
    virtual void stop() = 0;

signals:
    // New output, or the simulator ended.
    void activity();
};

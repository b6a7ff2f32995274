#include "SimulatorChannel.h"

#include <QProcess>

namespace {

class ProcessChannel final : public SimulatorChannel {
public:
    ProcessChannel() {
        connect(&m_process, &QProcess::readyReadStandardOutput, this, &SimulatorChannel::activity);
        connect(&m_process, &QProcess::readyReadStandardError, this, &SimulatorChannel::activity);
        connect(&m_process, &QProcess::finished, this, &SimulatorChannel::activity);
    }
    ~ProcessChannel() override { stop(); }

    bool start(const QString& program, const QStringList& arguments, int timeoutMs) override {
        m_process.setProgram(program);
        m_process.setArguments(arguments);
        m_process.start();
        return m_process.waitForStarted(timeoutMs);
    }
    QString errorString() const override { return m_process.errorString(); }
    bool isRunning() const override { return m_process.state() == QProcess::Running; }
    void write(const QByteArray& bytes) override { m_process.write(bytes); }
    QByteArray readOutput() override { return m_process.readAllStandardOutput(); }
    QByteArray readErrors() override { return m_process.readAllStandardError(); }
    void waitForOutput(int timeoutMs) override { m_process.waitForReadyRead(timeoutMs); }
    void stop() override {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(3000)) {
                m_process.kill();
                m_process.waitForFinished(3000);
            }
        }
    }

private:
    QProcess m_process;
};

} // namespace

bool SimulatorChannel::servesSerialPorts() {
    return true;
}

std::unique_ptr<SimulatorChannel> SimulatorChannel::create() {
    return std::make_unique<ProcessChannel>();
}

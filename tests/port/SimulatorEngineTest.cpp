// The engine over the real port layer against the simulator: good transactions for every read
// function and a write, a noise burst, and the line pulled in the middle of a transaction; the
// same over the network ports, RTU over TCP and Modbus TCP, on loopback.
#include "link/CheckReply.h"
#include "link/CommEngine.h"
#include "link/LinkState.h"
#include "link/Page.h"
#include "link/QtSerialPortLink.h"
#include "link/TcpPortLink.h"
#include "link/Transaction.h"
#include "support/EventLoopWait.h"
#include "support/FakeEngineWindow.h"
#include "support/FakeHostResolver.h"
#include "support/FrameHex.h"
#include "support/SimulatorProcess.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

using namespace climate::link;

namespace {

using Bytes = std::vector<std::uint8_t>;

// The engine timer: a real QTimer whose interval follows the engine, with the window's rule that
// setting the same interval keeps the countdown.
class TimedWindow : public FakeEngineWindow {
public:
    explicit TimedWindow(QTimer& timer) : m_timer(timer) {}
    void setEngineInterval(int milliseconds) override {
        FakeEngineWindow::setEngineInterval(milliseconds);
        if (m_timer.interval() != milliseconds) {
            m_timer.setInterval(milliseconds);
        }
    }

private:
    QTimer& m_timer;
};

// A poll step that keeps every accepted reply and counts the other outcomes.
class RecordingPoll : public PollTransaction {
public:
    using PollTransaction::PollTransaction;

    void onWrongHeader(TransactionContext& context) override {
        ++wrongHeaders;
        PollTransaction::onWrongHeader(context);
    }
    void onBadCrc(TransactionContext& context) override {
        ++badCrcs;
        PollTransaction::onBadCrc(context);
    }
    void onTimeout(TransactionContext& context) override {
        ++timeouts;
        PollTransaction::onTimeout(context);
    }

    std::vector<Bytes> replies;
    int wrongHeaders = 0;
    int badCrcs = 0;
    int timeouts = 0;

protected:
    void decode(std::span<const std::uint8_t> reply) override {
        replies.emplace_back(reply.begin(), reply.begin() + replyLength());
    }
};

// Temperature alarm "Set": function 16 on holding 28 and 29.
class AlarmLimitsWrite : public CommandTransaction {
public:
    AlarmLimitsWrite() : CommandTransaction(RequestShape{16, 28, 2, 8}, 200) {}

    [[nodiscard]] ModbusFrame request(std::uint8_t deviceAddress) const override {
        const std::array<std::uint16_t, 2> words{600, static_cast<std::uint16_t>(-100)};
        return buildWriteMultiple(deviceAddress, 28, words);
    }
    void onGood(TransactionContext& context, std::span<const std::uint8_t> /*reply*/) override {
        ++goods;
        context.endCommand();
        context.purgeInput();
        context.MarkLinkAlive();
    }

    int goods = 0;
};

// The engine on a port, ticked by a real timer, with the four poll steps and the alarm limits
// write registered.
struct TickingEngine {
    explicit TickingEngine(SerialPort& port) : link(port), engine(port, window, link) {}

    void start() {
        for (std::uint8_t step = 0; step < 4; ++step) {
            registrations.push_back(
                engine.registerTransaction(CommEngine::Table::PollStep, step, *polls[step]));
        }
        registrations.push_back(
            engine.registerTransaction(CommEngine::Table::ConfigurationCommand, 3, alarmWrite));
        QObject::connect(&timer, &QTimer::timeout, [this] {
            engine.tick(window.visiblePage());
            window.setEngineInterval(engine.timerIntervalMs());
        });
        timer.start(CommEngine::ReceiveIntervalMs);
    }

    [[nodiscard]] std::size_t goodReplies() const {
        std::size_t total = 0;
        for (const auto& poll : polls) {
            total += poll->replies.size();
        }
        return total;
    }
    [[nodiscard]] bool everyStepAnswered() const {
        return std::all_of(polls.begin(), polls.end(),
                           [](const auto& poll) { return !poll->replies.empty(); });
    }
    [[nodiscard]] int count(int RecordingPoll::*outcome) const {
        int total = 0;
        for (const auto& poll : polls) {
            total += (*poll).*outcome;
        }
        return total;
    }

    QTimer timer;
    TimedWindow window{timer};
    LinkState link;
    CommEngine engine;
    std::array<std::unique_ptr<RecordingPoll>, 4> polls{
        std::make_unique<RecordingPoll>(Requests::PollCoils),
        std::make_unique<RecordingPoll>(Requests::PollAlarmInputs, true),
        std::make_unique<RecordingPoll>(Requests::PollCompressorSettings),
        std::make_unique<RecordingPoll>(Requests::PollMeasurements)};
    AlarmLimitsWrite alarmWrite;
    std::vector<CommEngine::Registration> registrations;
};

// The share of one core this process uses while the event loop runs for `milliseconds`: a
// quiet wait stays far below 1.
double cpuShareWhileSpinning(int milliseconds) {
    const auto cpuSeconds = [] {
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        const auto seconds = [](const timeval& t) {
            return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
        };
        return seconds(usage.ru_utime) + seconds(usage.ru_stime);
    };
    const double before = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    spinFor(milliseconds);
    const double elapsed = static_cast<double>(wall.elapsed()) / 1000.0;
    return (cpuSeconds() - before) / elapsed;
}

class EngineOnSimulator : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.start()) << sim.diagnostics().toStdString();
        ASSERT_EQ(port.open(sim.linkPath().toStdString()), SerialPort::OpenError::None)
            << port.lastErrorText().toStdString();
        ASSERT_TRUE(port.applyLineSettings(9600, 8));
        rig.start();
    }

    SimulatorProcess sim;
    QtSerialPortLink port;
    TickingEngine rig{port};
};

TEST_F(EngineOnSimulator, EveryReadFunctionGetsAGoodReply) {
    rig.window.setVisiblePage(Page::RealTimeDataPage);
    ASSERT_TRUE(spinUntil([&] { return rig.everyStepAnswered(); }, 10000))
        << sim.diagnostics().toStdString();
    for (std::size_t step = 0; step < 4; ++step) {
        const Bytes& reply = rig.polls[step]->replies.front();
        EXPECT_EQ(CheckReply(reply, rig.polls[step]->function(), rig.polls[step]->replyLength(), 1),
                  ReplyStatus::Good)
            << step << ": " << toHex(reply);
        EXPECT_EQ(rig.polls[step]->timeouts, 0) << step;
        EXPECT_EQ(rig.polls[step]->wrongHeaders, 0) << step;
    }
    // Holding 41 ... 43 as the simulator holds them.
    const QString answer = sim.command("get hr 41 3");
    const Bytes& compressor = rig.polls[2]->replies.front();
    EXPECT_EQ(answer, QStringLiteral("ok %1 %2 %3")
                          .arg(compressor[3] << 8 | compressor[4])
                          .arg(compressor[5] << 8 | compressor[6])
                          .arg(compressor[7] << 8 | compressor[8]));
    EXPECT_EQ(rig.engine.state().LinkAliveTicks, CommEngine::LinkAliveReload);
}

TEST_F(EngineOnSimulator, WriteMultipleRegistersReachesTheController) {
    rig.engine.postCommand(3);
    ASSERT_TRUE(spinUntil([&] { return !rig.engine.state().CommandBusy; }, 5000));
    EXPECT_EQ(rig.alarmWrite.goods, 1);
    EXPECT_EQ(sim.command("get hr 28 2"), QStringLiteral("ok 600 65436"));
}

TEST_F(EngineOnSimulator, NoiseBurstIsPurgedAndPollingCarriesOn) {
    rig.window.setVisiblePage(Page::RealTimeDataPage);
    ASSERT_TRUE(spinUntil([&] { return rig.goodReplies() >= 2; }, 10000));
    ASSERT_TRUE(sim.commandOk("noise 2000")) << sim.diagnostics().toStdString();
    const std::size_t afterNoise = rig.goodReplies();
    ASSERT_TRUE(spinUntil([&] { return rig.goodReplies() >= afterNoise + 4; }, 15000))
        << "polling did not recover from the burst";
    EXPECT_LE(port.bytesWaiting(), 1024u);
}

TEST_F(EngineOnSimulator, PulledLineMidTransactionGoesQuietAndRecoversAfterReopening) {
    QSignalSpy lostSignals(&port, &QtSerialPortLink::lost);
    rig.window.setVisiblePage(Page::RealTimeDataPage);
    ASSERT_TRUE(spinUntil([&] { return rig.goodReplies() >= 1; }, 10000));
    // Keep the controller from answering so the pull lands while a request waits for its reply.
    ASSERT_TRUE(sim.commandOk("silent on"));
    ASSERT_TRUE(spinUntil([&] { return !rig.engine.state().SendPending; }, 3000));
    ASSERT_TRUE(sim.commandOk("pull"));

    ASSERT_TRUE(spinUntil([&] { return port.isLost(); }, 3000));
    EXPECT_TRUE(port.isOpen()) << "the window still holds the port open";
    EXPECT_FALSE(port.lastErrorText().isEmpty());

    // From here on the engine keeps ticking on a dead line: nothing may spin.
    EXPECT_LT(cpuShareWhileSpinning(2000), 0.2);
    EXPECT_EQ(lostSignals.count(), 1);
    EXPECT_EQ(port.bytesWaiting(), 0u);

    // The user closes the port, the adapter comes back, the port is opened again.
    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.isLost());
    ASSERT_TRUE(sim.command("plug").startsWith(QStringLiteral("ok")));
    ASSERT_TRUE(sim.commandOk("silent off"));
    ASSERT_EQ(port.open(sim.linkPath().toStdString()), SerialPort::OpenError::None)
        << port.lastErrorText().toStdString();
    ASSERT_TRUE(port.applyLineSettings(9600, 8));
    const std::size_t beforeReopen = rig.goodReplies();
    EXPECT_TRUE(spinUntil([&] { return rig.goodReplies() >= beforeReopen + 2; }, 10000))
        << sim.diagnostics().toStdString();
}

// The engine on a network port to the simulator serving TCP, with the framing of the parameter.
class EngineOnNetworkSimulator : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.startTcp(QString::fromLatin1(GetParam())))
            << sim.diagnostics().toStdString();
        port.setOpenFinished(
            [this](SerialPort::OpenError outcome) { outcomes.push_back(outcome); });
        ASSERT_TRUE(openPort()) << port.lastErrorText().toStdString();
        rig.start();
    }

    bool openPort() {
        outcomes.clear();
        if (port.open(sim.portName().toStdString()) != SerialPort::OpenError::Pending ||
            !spinUntil([this] { return !outcomes.empty(); }, 5000)) {
            return false;
        }
        return outcomes.front() == SerialPort::OpenError::None && port.applyLineSettings(9600, 8);
    }

    [[nodiscard]] bool isMbap() const { return QLatin1String(GetParam()) == "mbap"; }

    SimulatorProcess sim;
    FakeHostResolver resolver; // the tests use literal addresses: it must never be asked
    TcpPortLink port{resolver};
    std::vector<SerialPort::OpenError> outcomes;
    TickingEngine rig{port};
};

TEST_P(EngineOnNetworkSimulator, PollingAndAWriteGetGoodReplies) {
    rig.window.setVisiblePage(Page::RealTimeDataPage);
    ASSERT_TRUE(spinUntil([&] { return rig.goodReplies() >= 8; }, 10000))
        << sim.diagnostics().toStdString();
    for (std::size_t step = 0; step < 4; ++step) {
        EXPECT_FALSE(rig.polls[step]->replies.empty()) << step;
    }
    EXPECT_EQ(rig.count(&RecordingPoll::timeouts) + rig.count(&RecordingPoll::badCrcs) +
                  rig.count(&RecordingPoll::wrongHeaders),
              0);
    const QString answer = sim.command("get hr 41 3");
    const Bytes& compressor = rig.polls[2]->replies.front();
    EXPECT_EQ(answer, QStringLiteral("ok %1 %2 %3")
                          .arg(compressor[3] << 8 | compressor[4])
                          .arg(compressor[5] << 8 | compressor[6])
                          .arg(compressor[7] << 8 | compressor[8]));

    // The first tick on the page clears what was posted before it, as a page switch does.
    rig.window.setVisiblePage(Page::ConfigurationPage);
    ASSERT_TRUE(
        spinUntil([&] { return rig.engine.state().PageMode == Page::ConfigurationPage; }, 2000));
    rig.engine.postCommand(3);
    ASSERT_TRUE(spinUntil([&] { return !rig.engine.state().CommandBusy; }, 5000));
    EXPECT_EQ(rig.alarmWrite.goods, 1);
    EXPECT_EQ(sim.command("get hr 28 2"), QStringLiteral("ok 600 65436"));
    EXPECT_TRUE(resolver.lookups().isEmpty());
}

TEST_P(EngineOnNetworkSimulator, SpoiltRepliesAndNoiseAreSurvived) {
    rig.window.setVisiblePage(Page::RealTimeDataPage);
    ASSERT_TRUE(spinUntil([&] { return rig.goodReplies() >= 2; }, 10000));
    // Under MBAP a spoilt CRC becomes a wrong transaction id: the reply is dropped in the port
    // and the engine times out; over RTU the engine sees the bad CRC itself.
    ASSERT_TRUE(sim.commandOk("badcrc"));
    ASSERT_TRUE(spinUntil(
        [&] {
            return rig.count(&RecordingPoll::badCrcs) + rig.count(&RecordingPoll::timeouts) > 0;
        },
        5000));
    EXPECT_EQ(rig.count(&RecordingPoll::badCrcs), isMbap() ? 0 : 1);
    EXPECT_EQ(rig.count(&RecordingPoll::timeouts), isMbap() ? 1 : 0);
    if (isMbap()) {
        EXPECT_EQ(port.mbap().droppedFrames(), 1u);
    }
    // Another address (under MBAP: another unit id) is a wrong header either way.
    ASSERT_TRUE(sim.commandOk("wrongaddress"));
    ASSERT_TRUE(spinUntil([&] { return rig.count(&RecordingPoll::wrongHeaders) > 0; }, 5000));

    ASSERT_TRUE(sim.commandOk("noise 2000"));
    const std::size_t afterNoise = rig.goodReplies();
    ASSERT_TRUE(spinUntil([&] { return rig.goodReplies() >= afterNoise + 4; }, 15000))
        << "polling did not recover from the burst";
    EXPECT_LE(port.bytesWaiting(), 1024u);
}

TEST_P(EngineOnNetworkSimulator, DroppedConnectionGoesQuietAndReopens) {
    QSignalSpy lostSignals(&port, &TcpPortLink::lost);
    rig.window.setVisiblePage(Page::RealTimeDataPage);
    ASSERT_TRUE(spinUntil([&] { return rig.goodReplies() >= 1; }, 10000));
    ASSERT_TRUE(sim.commandOk("pull"));
    ASSERT_TRUE(spinUntil([&] { return port.isLost(); }, 3000));
    EXPECT_TRUE(port.isOpen()) << "the window still holds the port open";

    // The engine keeps ticking on the dead port: nothing may spin.
    EXPECT_LT(cpuShareWhileSpinning(2000), 0.2);
    EXPECT_EQ(lostSignals.count(), 1);
    EXPECT_EQ(port.bytesWaiting(), 0u);

    // Close, the device server comes back, open again.
    port.close();
    ASSERT_TRUE(sim.command("plug") == QStringLiteral("ok ") + sim.tcpAddress())
        << sim.diagnostics().toStdString();
    ASSERT_TRUE(openPort()) << port.lastErrorText().toStdString();
    const std::size_t beforeReopen = rig.goodReplies();
    EXPECT_TRUE(spinUntil([&] { return rig.goodReplies() >= beforeReopen + 2; }, 10000))
        << sim.diagnostics().toStdString();
}

TEST_P(EngineOnNetworkSimulator, SecondConnectionIsClosedAndTheFirstStaysServed) {
    rig.window.setVisiblePage(Page::RealTimeDataPage);
    ASSERT_TRUE(spinUntil([&] { return rig.goodReplies() >= 1; }, 10000));
    QTcpSocket second;
    QSignalSpy closed(&second, &QTcpSocket::disconnected);
    const QString address = sim.tcpAddress();
    second.connectToHost(QHostAddress(address.section(QLatin1Char(':'), 0, 0)),
                         static_cast<quint16>(address.section(QLatin1Char(':'), 1).toUInt()));
    EXPECT_TRUE(spinUntil([&] { return closed.count() > 0; }, 3000))
        << "a device server serves one client at a time";
    const std::size_t before = rig.goodReplies();
    EXPECT_TRUE(spinUntil([&] { return rig.goodReplies() >= before + 2; }, 5000));
    EXPECT_FALSE(port.isLost());
}

INSTANTIATE_TEST_SUITE_P(Framings, EngineOnNetworkSimulator, testing::Values("rtu", "mbap"));

} // namespace

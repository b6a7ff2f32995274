#include "link/CommEngine.h"
#include "link/EngineWindow.h"
#include "link/Transaction.h"
#include "support/EngineRig.h"
#include "support/FrameHex.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Kind = FakeSerialPort::Operation::Kind;
using Bytes = std::vector<std::uint8_t>;

// A command that, on a good reply, ends the way the tool's commands do: command ended, input
// purged, then the link marked alive.
class ProbeCommand : public CommandTransaction {
public:
    using CommandTransaction::CommandTransaction;

    void onGood(CommEngine& engine) override {
        ++goods;
        engine.endCommand();
        engine.purgeInput();
        engine.MarkLinkAlive();
    }

    int goods = 0;
};

// A poll step that records what it decodes and the state around its decode.
class ProbePoll : public PollTransaction {
public:
    using PollTransaction::PollTransaction;

    int decodes = 0;
    Bytes decoded;
    std::size_t purgesBeforeDecode = 0;
    int stepAfterDecode = -1;
    int aliveTicksAfterDecode = -1;

protected:
    void decode(CommEngine& engine) override {
        ++decodes;
        const auto reply = engine.state().reply();
        decoded.assign(reply.begin(), reply.end());
        purgesBeforeDecode = m_port->purges().size();
    }
    void afterDecode(CommEngine& engine) override {
        stepAfterDecode = engine.state().PollStep;
        aliveTicksAfterDecode = engine.state().LinkAliveTicks;
    }

public:
    const FakeSerialPort* m_port = nullptr;
};

// A live command shaped like the debug-temperature write: it ends by restarting the circle.
class ProbeLive : public Transaction {
public:
    [[nodiscard]] ModbusFrame request(const EngineState& state) const override {
        return buildWriteSingle(static_cast<std::uint8_t>(state.DeviceAddress), 6, 30, 250);
    }
    [[nodiscard]] std::uint8_t function() const override { return 6; }
    [[nodiscard]] std::uint32_t replyLength() const override { return 8; }
    [[nodiscard]] int sendIntervalMs() const override { return 300; }
    void onGood(CommEngine& engine) override {
        ++goods;
        engine.restartPolling();
        engine.purgeInput();
        engine.MarkLinkAlive();
    }
    void onWrongHeader(CommEngine& engine) override {
        ++failures;
        engine.MarkLinkAlive();
        engine.restartPolling();
    }
    void onTimeout(CommEngine& engine) override {
        ++failures;
        engine.restartPolling();
    }

    int goods = 0;
    int failures = 0;
};

const RequestShape SetHeater{16, 22, 5, 8};

class EngineTest : public testing::Test {
protected:
    EngineTest() {
        for (auto& poll : polls) {
            poll->m_port = &rig.port;
        }
        rig.engine.setConfigurationCommand(2, &heaterSet);
        rig.engine.setConfigurationCommand(3, &alarmSet);
        rig.engine.setConfigurationCommand(9, &readAll);
        rig.engine.setDeclarationCommand(1, &drawIntfan);
        rig.engine.setDeclarationCommand(2, &drawExtfan);
        for (std::uint8_t step = 0; step < 4; ++step) {
            rig.engine.setPollStep(step, polls[step].get());
        }
        rig.engine.setLiveCommand(1, &live);
    }

    EngineState& state() { return rig.engine.state(); }
    [[nodiscard]] int now() const { return rig.port.tick(); }
    // Posts a command and runs its send tick; returns that tick.
    int postAndSend(std::uint8_t code) {
        rig.engine.postCommand(code);
        rig.driver.tick();
        return now();
    }
    // Shows RealTimeData and runs the entry tick and the send tick of poll step 0.
    void startPolling() {
        rig.driver.showPage(EngineWindow::RealTimeDataPage);
        rig.driver.tick();
    }

    EngineRig rig;
    ProbeCommand heaterSet{SetHeater, 200, /*wrongHeaderIsSignOfLife=*/true};
    ProbeCommand alarmSet{RequestShape{16, 28, 2, 8}, 200};
    ProbeCommand readAll{Requests::ReadAll, 100};
    ProbeCommand drawIntfan{Requests::DrawIntfan, 200};
    ProbeCommand drawExtfan{Requests::DrawExtfan, 200};
    std::array<std::unique_ptr<ProbePoll>, 4> polls{
        std::make_unique<ProbePoll>(Requests::PollCoils),
        std::make_unique<ProbePoll>(Requests::PollAlarmInputs, /*moveOnAtBadCrc=*/true),
        std::make_unique<ProbePoll>(Requests::PollCompressorSettings),
        std::make_unique<ProbePoll>(Requests::PollMeasurements)};
    ProbeLive live;
};

// --- page entry -------------------------------------------------------------------------------

TEST_F(EngineTest, ShowingRealTimeDataFirstOnlyResetsTheCircleAndPurges) {
    state().PollStep = 2;
    state().SendPending = 0;
    rig.driver.showPage(EngineWindow::RealTimeDataPage);
    EXPECT_EQ(state().PageMode, 1);
    EXPECT_EQ(state().PollStep, 0);
    EXPECT_EQ(state().SendPending, 1);
    EXPECT_EQ(rig.port.operationsAt(1), std::vector<Kind>{Kind::Purge});
    EXPECT_TRUE(rig.port.writes().empty());

    rig.driver.tick();
    ASSERT_EQ(rig.port.writes().size(), 1u);
    EXPECT_EQ(rig.port.writes()[0].tick, 2);
    EXPECT_EQ(toHex(rig.port.writes()[0].bytes), "01 01 00 00 00 10 3D C6");
}

TEST_F(EngineTest, ShowingConfigurationClearsAPostedCommandWithoutSending) {
    rig.driver.showPage(EngineWindow::RealTimeDataPage);
    rig.engine.postCommand(3);
    rig.port.clearRecords();

    rig.driver.showPage(EngineWindow::ConfigurationPage);
    EXPECT_EQ(state().PageMode, 0);
    EXPECT_EQ(state().PendingCommand, EngineState::NoCommand);
    EXPECT_EQ(state().CommandBusy, 0);
    EXPECT_EQ(rig.port.operationsAt(now()), std::vector<Kind>{Kind::Purge});

    rig.driver.run(3);
    EXPECT_TRUE(rig.port.writes().empty());
    EXPECT_TRUE(rig.window.messages().empty());
}

TEST_F(EngineTest, DeclarationKeepsAConfigurationCommandPostedAndOnlyPurges) {
    rig.engine.postCommand(5); // ExtInput "Set", not a Declaration code
    state().PollStep = 2;
    rig.driver.showPage(EngineWindow::DeclarationPage);
    EXPECT_EQ(state().PageMode, 2);
    EXPECT_EQ(state().PollStep, 2) << "showing Declaration resets nothing else";
    EXPECT_EQ(rig.port.operationsAt(1), std::vector<Kind>{Kind::Purge});

    rig.driver.run(5);
    EXPECT_TRUE(rig.port.writes().empty());
    EXPECT_EQ(state().PendingCommand, 5);
    EXPECT_EQ(state().CommandBusy, 1);
    for (int tick = 2; tick <= 6; ++tick) {
        EXPECT_EQ(rig.port.operationsAt(tick), std::vector<Kind>{Kind::Purge}) << tick;
    }
}

TEST_F(EngineTest, DeclarationNeverRunsCodeZeroWhichIsAConfigurationWrite) {
    ProbeCommand stray{Requests::DrawIntfan, 200};
    rig.engine.setDeclarationCommand(0, &stray);
    rig.engine.postCommand(0); // Internal Fan "Set"
    rig.driver.showPage(EngineWindow::DeclarationPage);
    rig.driver.run(3);
    EXPECT_TRUE(rig.port.writes().empty());
    EXPECT_EQ(state().CommandBusy, 1);
}

TEST_F(EngineTest, DeclarationRunsItsOwnReads) {
    rig.driver.showPage(EngineWindow::DeclarationPage);
    rig.engine.postCommand(2);
    rig.driver.tick();
    ASSERT_EQ(rig.port.writes().size(), 1u);
    EXPECT_EQ(toHex(rig.port.writes()[0].bytes), "01 03 00 0B 00 0B 75 CF");

    Bytes reply = fromHex("01 03 16");
    reply.resize(25, 0x11);
    rig.port.arriveAt(now() + 1, withCrc(reply));
    rig.driver.tick();
    EXPECT_EQ(drawExtfan.goods, 1);
    EXPECT_EQ(state().CommandBusy, 0);
}

TEST_F(EngineTest, ConfigurationClearsBusyForNoCommandAndForUnregisteredCodes) {
    for (const std::uint8_t code :
         {std::uint8_t{20}, std::uint8_t{7}, std::uint8_t{12}, std::uint8_t{200}}) {
        rig.engine.postCommand(code);
        rig.driver.tick();
        EXPECT_EQ(state().CommandBusy, 0) << int(code);
        EXPECT_TRUE(rig.port.writes().empty()) << int(code);
    }
}

// --- the transaction cycle --------------------------------------------------------------------

TEST_F(EngineTest, SendTickWritesThenPurgesAndStartsCollectingAfresh) {
    state().RxLength = 17;
    state().ReplyWaitTicks = 42;
    const int sent = postAndSend(9);
    ASSERT_EQ(rig.port.writes().size(), 1u);
    EXPECT_EQ(toHex(rig.port.writes()[0].bytes), "01 03 00 00 00 2F 04 16");
    EXPECT_EQ(rig.port.operationsAt(sent), (std::vector<Kind>{Kind::Write, Kind::Purge}));
    EXPECT_EQ(state().SendPending, 0);
    EXPECT_EQ(state().RxLength, 0u);
    EXPECT_EQ(state().ReplyWaitTicks, 0);
}

struct IntervalCase {
    const char* name;
    int page;
    std::uint8_t code; // posted command; 255: the polling circle
    int sendIntervalMs;
};

class SendIntervals : public EngineTest, public testing::WithParamInterface<IntervalCase> {};

TEST_P(SendIntervals, FirstReceiveTickComesOneSendIntervalLaterThenEvery10Ms) {
    const IntervalCase& c = GetParam();
    rig.driver.showPage(c.page);
    if (c.code != 255) {
        rig.engine.postCommand(c.code);
    }
    rig.window.clearRecords();
    rig.driver.tick(); // send
    ASSERT_EQ(rig.port.writes().size(), 1u);
    EXPECT_EQ(rig.window.engineInterval(), c.sendIntervalMs);

    const auto before = rig.driver.elapsedMs();
    rig.driver.tick(); // first receive tick
    EXPECT_EQ(rig.driver.elapsedMs() - before, c.sendIntervalMs);
    EXPECT_EQ(rig.window.engineInterval(), CommEngine::ReceiveIntervalMs);

    rig.driver.run(5);
    // Setting 10 ms again on every receive tick must not restart the countdown each time.
    EXPECT_EQ(rig.window.intervalRestarts(), (std::vector<int>{c.sendIntervalMs, 10}));
    EXPECT_EQ(rig.driver.elapsedMs() - before, c.sendIntervalMs + 5 * 10);
}

INSTANTIATE_TEST_SUITE_P(
    Link, SendIntervals,
    testing::Values(IntervalCase{"ConfigurationSet", EngineWindow::ConfigurationPage, 2, 200},
                    IntervalCase{"ConfigurationReadAll", EngineWindow::ConfigurationPage, 9, 100},
                    IntervalCase{"RealTimeDataPoll", EngineWindow::RealTimeDataPage, 255, 300},
                    IntervalCase{"DeclarationDraw", EngineWindow::DeclarationPage, 1, 200}),
    [](const testing::TestParamInfo<IntervalCase>& testCase) {
        return std::string(testCase.param.name);
    });

TEST_F(EngineTest, TimeOutIsDecidedOnThe101stReceiveTick) {
    const int sent = postAndSend(3);
    const auto sentAt = rig.driver.elapsedMs();
    rig.driver.run(100);
    EXPECT_EQ(state().CommandBusy, 1) << "still waiting after 100 receive ticks";
    EXPECT_EQ(state().ReplyWaitTicks, 100);

    rig.driver.tick();
    EXPECT_EQ(now(), sent + 101);
    EXPECT_EQ(state().CommandBusy, 0);
    EXPECT_EQ(state().PendingCommand, EngineState::NoCommand);
    EXPECT_EQ(rig.driver.elapsedMs() - sentAt, 200 + 100 * 10) << "nominally 1.2 s";
    EXPECT_TRUE(rig.window.messages().empty());
    EXPECT_EQ(state().LinkAliveTicks, 0);
    EXPECT_EQ(rig.port.reads().size(), 0u) << "nothing ever waited";

    rig.driver.run(3);
    EXPECT_EQ(rig.port.writes().size(), 1u) << "nothing is retried";
}

TEST_F(EngineTest, TimedOutPollStepSendsTheNextStepOnTheNextTick) {
    startPolling();
    const int sent = now();
    rig.driver.run(101);
    EXPECT_EQ(state().PollStep, 1);
    rig.driver.tick();
    ASSERT_EQ(rig.port.writes().size(), 2u);
    EXPECT_EQ(rig.port.writes()[1].tick, sent + 102);
    EXPECT_EQ(toHex(rig.port.writes()[1].bytes), "01 02 00 00 00 12 F8 07");
}

TEST_F(EngineTest, ReplySplitOverTwoTicksIsTakenOnTheSecond) {
    startPolling();
    state().PollStep = 3;
    state().SendPending = 1;
    rig.driver.tick();
    const Bytes reply = replyFrom("01 04 1C 00 01 00 02 00 03 00 04 00 05 00 06 00 07 00 08 00 09 "
                                  "00 0A 00 0B 00 0C 00 0D 00 0E");
    rig.port.arriveAt(now() + 1, std::span(reply).first(20));
    rig.port.arriveAt(now() + 2, std::span(reply).subspan(20));

    rig.driver.tick();
    EXPECT_EQ(polls[3]->decodes, 0);
    EXPECT_EQ(state().RxLength, 20u);
    rig.driver.tick();
    EXPECT_EQ(polls[3]->decodes, 1);
    EXPECT_EQ(polls[3]->decoded, reply);
}

TEST_F(EngineTest, LongestReplyInThreePiecesIsGood) {
    postAndSend(9);
    Bytes body = fromHex("01 03 5E");
    for (int k = 0; k < 47; ++k) {
        body.push_back(static_cast<std::uint8_t>(k));
        body.push_back(static_cast<std::uint8_t>(k * 3));
    }
    const Bytes reply = withCrc(body);
    rig.port.arriveAt(now() + 1, std::span(reply).first(40));
    rig.port.arriveAt(now() + 2, std::span(reply).subspan(40, 40));
    rig.port.arriveAt(now() + 3, std::span(reply).subspan(80));
    rig.driver.run(2);
    EXPECT_EQ(readAll.goods, 0);
    rig.driver.tick();
    EXPECT_EQ(readAll.goods, 1);
}

TEST_F(EngineTest, NoiseBurstIsPurgedAtTheStartOfTheTickAndTheTransactionTimesOut) {
    const int sent = postAndSend(3);
    const int noiseTick = sent + 5;
    rig.port.arriveAt(noiseTick, Bytes(2000, 0x55));
    rig.driver.run(5);
    EXPECT_EQ(rig.port.operationsAt(noiseTick), std::vector<Kind>{Kind::Purge});
    EXPECT_EQ(rig.port.waiting(), 0u);
    EXPECT_EQ(state().ReplyWaitTicks, 4) << "the purge tick is not a receive tick";
    EXPECT_EQ(state().SendPending, 0);
    EXPECT_EQ(rig.window.forcedSizeCount(), now()) << "the size is forced on every tick";

    rig.driver.run(96);
    EXPECT_EQ(state().CommandBusy, 1);
    rig.driver.tick();
    EXPECT_EQ(now(), sent + 102);
    EXPECT_EQ(state().CommandBusy, 0);
}

TEST_F(EngineTest, PurgeOnlyAboveExactly1024WaitingBytes) {
    postAndSend(9);
    const Bytes chunk(1024, 0x01);
    rig.port.arriveAt(now() + 1, chunk);
    rig.port.arriveAt(now() + 2, Bytes(1025, 0x01));
    rig.driver.tick();
    ASSERT_EQ(rig.port.reads().size(), 1u);
    EXPECT_EQ(rig.port.reads()[0].delivered, 1024u) << "1024 waiting bytes are read";
    rig.driver.tick();
    EXPECT_EQ(rig.port.operationsAt(now()), std::vector<Kind>{Kind::Purge});
    EXPECT_EQ(rig.port.reads().size(), 1u);
}

TEST_F(EngineTest, RxFrameStopsAtItsCapacityWhileBytesKeepArriving) {
    postAndSend(9); // All "Read", 99 bytes
    // A header that matches and a CRC that never will: the check says BadCrc and the command
    // keeps collecting until its time-out.
    Bytes chunk(1024, 0xA5);
    chunk[0] = 0x01;
    chunk[1] = 0x03;
    Bytes fed;
    for (int k = 1; k <= 101; ++k) {
        chunk[2] = static_cast<std::uint8_t>(k);
        rig.port.arriveAt(now() + k, chunk);
        if (fed.size() < EngineState::RxCapacity) {
            fed.insert(fed.end(), chunk.begin(), chunk.end());
        }
    }
    for (int k = 1; k <= 100; ++k) {
        rig.driver.tick();
        ASSERT_LE(state().RxLength, EngineState::RxCapacity);
        ASSERT_EQ(state().CommandBusy, 1) << "receive tick " << k;
    }
    EXPECT_EQ(state().RxLength, EngineState::RxCapacity);
    EXPECT_EQ(Bytes(state().RxFrame.begin(), state().RxFrame.end()),
              Bytes(fed.begin(), fed.begin() + EngineState::RxCapacity));
    rig.driver.tick();
    EXPECT_EQ(state().CommandBusy, 0) << "ended by its time-out";
    EXPECT_EQ(readAll.goods, 0);
}

// --- outcome rules of the transaction kinds ---------------------------------------------------

TEST_F(EngineTest, CommandWrongHeaderEndsSilentlyAndCountsAsLifeOnlyWhereSoBuilt) {
    struct Case {
        std::uint8_t code;
        int expectedBar;
        int expectedAliveTicks;
    };
    for (const Case c : {Case{2, 1, CommEngine::LinkAliveReload}, Case{3, 0, 0}}) {
        rig.window.setLinkBarPosition(0);
        state().LinkAliveTicks = 0;
        postAndSend(c.code);
        rig.port.arriveAt(now() + 1, replyFrom("02 10 00 16 00 05")); // another slave
        rig.driver.tick();
        EXPECT_EQ(state().CommandBusy, 0) << int(c.code);
        EXPECT_EQ(state().PendingCommand, EngineState::NoCommand);
        EXPECT_EQ(rig.window.linkBarPosition(), c.expectedBar) << int(c.code);
        EXPECT_EQ(state().LinkAliveTicks, c.expectedAliveTicks) << int(c.code);
    }
    EXPECT_TRUE(rig.window.messages().empty());
}

TEST_F(EngineTest, CommandBadCrcWaitsForTheTimeOut) {
    const int sent = postAndSend(2);
    Bytes reply = replyFrom("01 10 00 16 00 05");
    reply.back() ^= 0xFF;
    rig.port.arriveAt(sent + 1, reply);
    rig.driver.tick();
    EXPECT_EQ(state().CommandBusy, 1);
    rig.driver.run(100);
    EXPECT_EQ(state().CommandBusy, 0);
    EXPECT_EQ(now(), sent + 101);
    EXPECT_EQ(heaterSet.goods, 0);
    EXPECT_EQ(rig.window.linkBarPosition(), 0);
}

TEST_F(EngineTest, CommandGoodReplyFromTheNewAddress) {
    state().DeviceAddress = 7;
    const int sent = postAndSend(2);
    EXPECT_EQ(rig.port.writes()[0].bytes[0], 7);
    rig.port.arriveAt(sent + 1, replyFrom("07 10 00 16 00 05"));
    rig.driver.tick();
    EXPECT_EQ(heaterSet.goods, 1);
    EXPECT_EQ(state().LinkAliveTicks, CommEngine::LinkAliveReload);
}

TEST_F(EngineTest, PollGoodDecodesPurgesMovesOnThenMarksTheLinkAlive) {
    startPolling();
    rig.window.setLinkBarPosition(5);
    const Bytes reply = replyFrom("01 01 02 0F 80");
    rig.port.arriveAt(now() + 1, reply);
    rig.driver.tick();
    const ProbePoll& step = *polls[0];
    EXPECT_EQ(step.decodes, 1);
    EXPECT_EQ(step.decoded, reply);
    EXPECT_EQ(rig.port.operationsAt(now()), (std::vector<Kind>{Kind::Read, Kind::Purge}));
    EXPECT_EQ(step.purgesBeforeDecode, rig.port.purges().size() - 1) << "decode before the purge";
    EXPECT_EQ(step.stepAfterDecode, 1) << "afterDecode runs once the step has moved on";
    EXPECT_EQ(step.aliveTicksAfterDecode, 0) << "and before MarkLinkAlive";
    EXPECT_EQ(state().LinkAliveTicks, CommEngine::LinkAliveReload);
    EXPECT_EQ(rig.window.linkBarPosition(), 6);
    EXPECT_EQ(state().SendPending, 1);
}

TEST_F(EngineTest, PollWrongHeaderMarksTheLinkAliveAndMovesOn) {
    startPolling();
    rig.port.arriveAt(now() + 1, replyFrom("01 03 02 0F 80"));
    rig.driver.tick();
    EXPECT_EQ(polls[0]->decodes, 0);
    EXPECT_EQ(state().PollStep, 1);
    EXPECT_EQ(state().SendPending, 1);
    EXPECT_EQ(state().LinkAliveTicks, CommEngine::LinkAliveReload);
}

TEST_F(EngineTest, PollBadCrcWaitsForTheTimeOutUnlessTheStepMovesOnAtOnce) {
    startPolling();
    Bytes coils = replyFrom("01 01 02 0F 80");
    coils[3] ^= 1;
    rig.port.arriveAt(now() + 1, coils);
    rig.driver.tick();
    EXPECT_EQ(state().PollStep, 0) << "step 0 ignores a bad CRC";
    rig.driver.run(100);
    EXPECT_EQ(state().PollStep, 1) << "and ends by its time-out";
    EXPECT_EQ(state().LinkAliveTicks, 0);

    rig.driver.tick(); // step 1 sends
    Bytes inputs = replyFrom("01 02 03 00 00 00");
    inputs[4] ^= 1;
    rig.port.arriveAt(now() + 1, inputs);
    rig.driver.tick();
    EXPECT_EQ(state().PollStep, 2) << "step 1 moves on at a bad CRC";
    EXPECT_EQ(rig.port.operationsAt(now()), (std::vector<Kind>{Kind::Read, Kind::Purge}));
    EXPECT_EQ(state().LinkAliveTicks, 0);
    EXPECT_EQ(polls[1]->decodes, 0);
}

TEST_F(EngineTest, GoodRepliesRunTheCircleAndBackToStepZero) {
    Bytes measurements = fromHex("01 04 1C");
    measurements.resize(31, 0x00);
    const std::vector<Bytes> replies{replyFrom("01 01 02 00 00"), replyFrom("01 02 03 00 00 00"),
                                     replyFrom("01 03 06 00 01 00 02 00 03"),
                                     withCrc(measurements)};
    startPolling();
    for (std::size_t step = 0; step < 4; ++step) {
        rig.port.arriveAt(now() + 1, replies[step]);
        rig.driver.tick();
        ASSERT_EQ(polls[step]->decodes, 1) << step;
        rig.driver.tick(); // next step's send
    }
    ASSERT_EQ(rig.port.writes().size(), 5u);
    EXPECT_EQ(toHex(rig.port.writes()[2].bytes), "01 03 00 29 00 03 D4 03");
    EXPECT_EQ(toHex(rig.port.writes()[3].bytes), "01 04 00 00 00 0E 71 CE");
    EXPECT_EQ(rig.port.writes()[4].bytes, rig.port.writes()[0].bytes);
}

// --- posting and live commands -----------------------------------------------------------------

TEST_F(EngineTest, PostingContract) {
    state().SendPending = 0;
    rig.engine.postCommand(9);
    EXPECT_EQ(state().SendPending, 1);
    EXPECT_EQ(state().PendingCommand, 9);
    EXPECT_EQ(state().CommandBusy, 1);

    state().SendPending = 0;
    state().PollStep = 3;
    rig.engine.postLiveCommand(2);
    EXPECT_EQ(state().LiveCommand, 2);
    EXPECT_EQ(state().SendPending, 1);
    EXPECT_EQ(state().PollStep, 0);
    EXPECT_EQ(state().PendingCommand, 9) << "a live command leaves the posted command alone";
}

TEST_F(EngineTest, LiveCommandPreemptsThePollAndRestartsTheCircle) {
    startPolling();
    rig.driver.run(3); // poll step 0 waiting
    rig.engine.postLiveCommand(1);
    rig.driver.tick();
    ASSERT_EQ(rig.port.writes().size(), 2u);
    EXPECT_EQ(rig.port.writes()[1].tick, now()) << "sent at the next tick";
    EXPECT_EQ(rig.port.writes()[1].bytes, withCrc(fromHex("01 06 00 1E 00 FA")));

    // The abandoned poll's late reply is not the live command's.
    rig.port.arriveAt(now() + 1, replyFrom("01 01 02 00 00"));
    rig.port.arriveAt(now() + 2, replyFrom("01 06 00 1E 00 FA"));
    rig.driver.run(2);
    EXPECT_EQ(live.failures, 1) << "the first bytes are another function's: wrong header";
    EXPECT_EQ(live.goods, 0);
    EXPECT_EQ(state().LiveCommand, 0);
    EXPECT_EQ(polls[0]->decodes, 0);

    rig.driver.tick();
    EXPECT_EQ(toHex(rig.port.writes().back().bytes), "01 01 00 00 00 10 3D C6");
    EXPECT_EQ(state().PollStep, 0);
}

TEST_F(EngineTest, LiveCommandGoodEndsItAndPollingRestartsAtStepZero) {
    startPolling();
    rig.engine.postLiveCommand(1);
    rig.driver.tick();
    rig.port.arriveAt(now() + 1, replyFrom("01 06 00 1E 00 FA"));
    rig.driver.tick();
    EXPECT_EQ(live.goods, 1);
    EXPECT_EQ(state().LiveCommand, 0);
    rig.driver.tick();
    EXPECT_EQ(toHex(rig.port.writes().back().bytes), "01 01 00 00 00 10 3D C6");
}

TEST_F(EngineTest, UnknownLiveCommandDoesNothing) {
    startPolling();
    rig.engine.postLiveCommand(3);
    rig.port.clearRecords();
    rig.driver.run(5);
    EXPECT_TRUE(rig.port.operations().empty());
    EXPECT_EQ(state().LiveCommand, 3);
}

// --- the port closed ---------------------------------------------------------------------------

TEST_F(EngineTest, ClosingMidTransactionAndReopeningResumesWhereItStood) {
    postAndSend(2);
    rig.driver.run(10);
    const EngineState before = state();

    rig.port.close(); // the window stops the engine timer while the port is closed
    rig.port.arriveAt(now() + 1, replyFrom("01 10 00 16 00 05"));
    rig.port.advanceTick(); // the reply is lost on the closed port
    ASSERT_EQ(rig.port.open("ttyS0"), SerialPort::OpenError::None);
    EXPECT_EQ(state().ReplyWaitTicks, before.ReplyWaitTicks);
    EXPECT_EQ(state().SendPending, 0);
    EXPECT_EQ(state().CommandBusy, 1);

    rig.driver.run(90);
    EXPECT_EQ(state().CommandBusy, 1);
    EXPECT_EQ(state().ReplyWaitTicks, 100);
    rig.driver.tick();
    EXPECT_EQ(state().CommandBusy, 0) << "ended by its time-out after the remaining ticks";
    EXPECT_EQ(heaterSet.goods, 0);
}

TEST_F(EngineTest, ReplyAfterReopeningIsStillTaken) {
    postAndSend(2);
    rig.driver.run(10);
    rig.port.close();
    ASSERT_EQ(rig.port.open("ttyS0"), SerialPort::OpenError::None);
    rig.port.arriveAt(now() + 1, replyFrom("01 10 00 16 00 05"));
    rig.driver.tick();
    EXPECT_EQ(heaterSet.goods, 1);
}

TEST_F(EngineTest, BeforeTheFirstOpenTheCircleRunsOnTimeOutsAndTheLinkStaysLost) {
    rig.port.setOpen(false);
    rig.driver.showPage(EngineWindow::RealTimeDataPage);
    const auto start = rig.driver.elapsedMs();
    std::vector<int> steps;
    for (int tick = 0; tick < 4 * 102; ++tick) {
        rig.driver.tick();
        if (steps.empty() || steps.back() != state().PollStep) {
            steps.push_back(state().PollStep);
        }
    }
    EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 3, 0}));
    EXPECT_EQ(rig.driver.elapsedMs() - start, 4 * (10 + 300 + 100 * 10));
    EXPECT_TRUE(rig.port.operations().empty());
    EXPECT_GT(rig.port.ignoredCalls(), 0);
    EXPECT_EQ(state().LinkAliveTicks, 0);
    EXPECT_EQ(rig.window.linkBarUpdates(), 0);
}

TEST_F(EngineTest, LostDeviceMidTransactionEndsByTimeOutWithoutTraffic) {
    postAndSend(3);
    rig.port.loseDevice();
    rig.port.arriveAt(now() + 1, replyFrom("01 10 00 1C 00 02"));
    rig.driver.run(101);
    EXPECT_EQ(state().CommandBusy, 0);
    EXPECT_EQ(alarmSet.goods, 0);
    EXPECT_EQ(rig.port.writes().size(), 1u);
}

TEST(MarkLinkAlive, ReloadsTheCounterAndAdvancesTheBarWithoutWrapping) {
    EngineRig rig;
    rig.window.setLinkBarPosition(100);
    rig.engine.state().LinkAliveTicks = 3;
    rig.engine.MarkLinkAlive();
    EXPECT_EQ(rig.engine.state().LinkAliveTicks, 40);
    EXPECT_EQ(rig.window.linkBarPosition(), 101);
}

} // namespace

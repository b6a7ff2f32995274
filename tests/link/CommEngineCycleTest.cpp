// The engine's cycle: what showing a page resets, and the send and receive ticks of one
// transaction.
#include "EngineFixture.h"

#include <stdexcept>

using namespace climate::link;

namespace {

// --- page entry -------------------------------------------------------------------------------

TEST_F(EngineTest, ShowingRealTimeDataFirstOnlyResetsTheCircleAndPurges) {
    stage().pollStep(2).sendPending(false);
    rig.driver.showPage(Page::RealTimeDataPage);
    EXPECT_EQ(state().PageMode, 1);
    EXPECT_EQ(state().PollStep, 0);
    EXPECT_TRUE(state().SendPending);
    EXPECT_EQ(rig.port.operationsAt(1), std::vector<Kind>{Kind::Purge});
    EXPECT_TRUE(rig.port.writes().empty());

    rig.driver.tick();
    ASSERT_EQ(rig.port.writes().size(), 1u);
    EXPECT_EQ(rig.port.writes()[0].tick, 2);
    EXPECT_EQ(toHex(rig.port.writes()[0].bytes), "01 01 00 00 00 10 3D C6");
}

// The engine sees only the page its host reports at each tick: a switch there and back between
// two ticks leaves a poll in flight alone, and a page held for one tick is entered and left.
TEST_F(EngineTest, OnlyThePageSeenAtATickCounts) {
    rig.driver.showPage(Page::RealTimeDataPage);
    rig.driver.tick(); // poll step 0 sent
    ASSERT_EQ(rig.port.writes().size(), 1u);
    ASSERT_FALSE(state().SendPending);

    rig.window.setVisiblePage(Page::DeclarationPage);
    rig.window.setVisiblePage(Page::RealTimeDataPage);
    rig.port.clearRecords();
    rig.driver.tick();
    EXPECT_EQ(state().ReplyWaitTicks, 1) << "still waiting for the reply of step 0";
    EXPECT_FALSE(state().SendPending);
    EXPECT_TRUE(rig.port.purges().empty()) << "no page was entered";

    rig.engine.tick(Page::DeclarationPage);
    EXPECT_EQ(state().PageMode, Page::DeclarationPage);
    rig.engine.tick(Page::RealTimeDataPage);
    EXPECT_EQ(state().PageMode, Page::RealTimeDataPage);
    EXPECT_TRUE(state().SendPending) << "entering the page again restarts the circle";
    EXPECT_EQ(state().PollStep, 0);
    EXPECT_EQ(rig.port.purges().size(), 2u) << "each entry purges";
}

// An index the page control does not have runs no cycle.
TEST_F(EngineTest, AnUnknownPageRunsNothing) {
    rig.engine.postCommand(3);
    rig.engine.tick(3);
    rig.engine.tick(-1);
    EXPECT_TRUE(rig.port.operations().empty());
    EXPECT_TRUE(state().CommandBusy);
    EXPECT_EQ(state().PageMode, Page::ConfigurationPage);
}

TEST_F(EngineTest, ShowingConfigurationClearsAPostedCommandWithoutSending) {
    rig.driver.showPage(Page::RealTimeDataPage);
    rig.engine.postCommand(3);
    rig.port.clearRecords();

    rig.driver.showPage(Page::ConfigurationPage);
    EXPECT_EQ(state().PageMode, 0);
    EXPECT_EQ(state().PendingCommand, EngineState::NoCommand);
    EXPECT_FALSE(state().CommandBusy);
    EXPECT_EQ(rig.port.operationsAt(now()), std::vector<Kind>{Kind::Purge});

    rig.driver.run(3);
    EXPECT_TRUE(rig.port.writes().empty());
    EXPECT_TRUE(rig.window.messages().empty());
}

TEST_F(EngineTest, DeclarationKeepsAConfigurationCommandPostedAndOnlyPurges) {
    rig.engine.postCommand(5); // ExtInput "Set", not a Declaration code
    stage().pollStep(2);
    rig.driver.showPage(Page::DeclarationPage);
    EXPECT_EQ(state().PageMode, 2);
    EXPECT_EQ(state().PollStep, 2) << "showing Declaration resets nothing else";
    EXPECT_EQ(rig.port.operationsAt(1), std::vector<Kind>{Kind::Purge});

    rig.driver.run(5);
    EXPECT_TRUE(rig.port.writes().empty());
    EXPECT_EQ(state().PendingCommand, 5);
    EXPECT_TRUE(state().CommandBusy);
    for (int tick = 2; tick <= 6; ++tick) {
        EXPECT_EQ(rig.port.operationsAt(tick), std::vector<Kind>{Kind::Purge}) << tick;
    }
}

TEST_F(EngineTest, DeclarationNeverRunsCodeZeroWhichIsAConfigurationWrite) {
    ProbeCommand stray{Requests::DrawIntfan, 200};
    EXPECT_THROW((void)rig.engine.registerTransaction(Table::DeclarationCommand, 0, stray),
                 std::logic_error);
    rig.engine.postCommand(0); // Internal Fan "Set"
    rig.driver.showPage(Page::DeclarationPage);
    rig.driver.run(3);
    EXPECT_TRUE(rig.port.writes().empty());
    EXPECT_TRUE(state().CommandBusy);
}

TEST_F(EngineTest, DeclarationRunsItsOwnReads) {
    rig.driver.showPage(Page::DeclarationPage);
    rig.engine.postCommand(2);
    rig.driver.tick();
    ASSERT_EQ(rig.port.writes().size(), 1u);
    EXPECT_EQ(toHex(rig.port.writes()[0].bytes), "01 03 00 0B 00 0B 75 CF");

    Bytes reply = fromHex("01 03 16");
    reply.resize(25, 0x11);
    rig.port.arriveAt(now() + 1, withCrc(reply));
    rig.driver.tick();
    EXPECT_EQ(drawExtfan.goods, 1);
    EXPECT_FALSE(state().CommandBusy);
}

TEST_F(EngineTest, ConfigurationDropsACommandWithNothingRegisteredUnsent) {
    std::vector<TransactionOutcome> ended;
    rig.engine.postCommand(7, [&](TransactionOutcome outcome) { ended.push_back(outcome); });
    rig.driver.tick();
    EXPECT_FALSE(state().CommandBusy);
    EXPECT_TRUE(rig.port.writes().empty());
    EXPECT_EQ(ended, std::vector<TransactionOutcome>{TransactionOutcome::Abandoned});
}

// --- the transaction cycle --------------------------------------------------------------------

TEST_F(EngineTest, SendTickWritesThenPurgesAndStartsCollectingAfresh) {
    stage().replyProgress(17, 42);
    const int sent = postAndSend(9);
    ASSERT_EQ(rig.port.writes().size(), 1u);
    EXPECT_EQ(toHex(rig.port.writes()[0].bytes), "01 03 00 00 00 2F 04 16");
    EXPECT_EQ(rig.port.operationsAt(sent), (std::vector<Kind>{Kind::Write, Kind::Purge}));
    EXPECT_FALSE(state().SendPending);
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
    testing::Values(IntervalCase{"ConfigurationSet", Page::ConfigurationPage, 2, 200},
                    IntervalCase{"ConfigurationReadAll", Page::ConfigurationPage, 9, 100},
                    IntervalCase{"RealTimeDataPoll", Page::RealTimeDataPage, 255, 300},
                    IntervalCase{"DeclarationDraw", Page::DeclarationPage, 1, 200}),
    [](const testing::TestParamInfo<IntervalCase>& testCase) {
        return std::string(testCase.param.name);
    });

TEST_F(EngineTest, TimeOutIsDecidedOnThe101stReceiveTick) {
    const int sent = postAndSend(3);
    const auto sentAt = rig.driver.elapsedMs();
    rig.driver.run(100);
    EXPECT_TRUE(state().CommandBusy) << "still waiting after 100 receive ticks";
    EXPECT_EQ(state().ReplyWaitTicks, 100);

    rig.driver.tick();
    EXPECT_EQ(now(), sent + 101);
    EXPECT_FALSE(state().CommandBusy);
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
    stage().pollStep(3).sendPending(true);
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
    EXPECT_FALSE(state().SendPending);

    rig.driver.run(96);
    EXPECT_TRUE(state().CommandBusy);
    rig.driver.tick();
    EXPECT_EQ(now(), sent + 102);
    EXPECT_FALSE(state().CommandBusy);
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
        ASSERT_TRUE(state().CommandBusy) << "receive tick " << k;
    }
    EXPECT_EQ(state().RxLength, EngineState::RxCapacity);
    EXPECT_EQ(Bytes(state().RxFrame.begin(), state().RxFrame.end()),
              Bytes(fed.begin(), fed.begin() + EngineState::RxCapacity));
    rig.driver.tick();
    EXPECT_FALSE(state().CommandBusy) << "ended by its time-out";
    EXPECT_EQ(readAll.goods, 0);
}

} // namespace

// Posting commands and live commands, the tables' bounds, and a port closed mid-transaction.
#include "EngineFixture.h"
#include "link/LinkState.h"

#include <stdexcept>

using namespace climate::link;

namespace {

// --- posting and live commands -----------------------------------------------------------------

TEST_F(EngineTest, PostingContract) {
    stage().sendPending(false);
    rig.engine.postCommand(9);
    EXPECT_TRUE(state().SendPending);
    EXPECT_EQ(state().PendingCommand, 9);
    EXPECT_TRUE(state().CommandBusy);

    stage().sendPending(false).pollStep(3);
    rig.engine.postLiveCommand(2);
    EXPECT_EQ(state().LiveCommand, 2);
    EXPECT_TRUE(state().SendPending);
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

TEST_F(EngineTest, PostingOrRegisteringOutsideTheTablesIsALogicError) {
    startPolling();
    EXPECT_THROW(rig.engine.postLiveCommand(3), std::logic_error);
    EXPECT_THROW(rig.engine.postLiveCommand(0), std::logic_error);
    EXPECT_THROW(rig.engine.postCommand(12), std::logic_error);
    EXPECT_THROW(rig.engine.postCommand(EngineState::NoCommand), std::logic_error);
    EXPECT_EQ(state().LiveCommand, 0) << "nothing is posted";
    EXPECT_FALSE(state().CommandBusy);

    ProbeCommand spare{Requests::ReadAll, 100};
    EXPECT_THROW((void)rig.engine.registerTransaction(Table::ConfigurationCommand, 12, spare),
                 std::logic_error);
    EXPECT_THROW((void)rig.engine.registerTransaction(Table::DeclarationCommand, 0, spare),
                 std::logic_error);
    EXPECT_THROW((void)rig.engine.registerTransaction(Table::PollStep, 4, spare), std::logic_error);
    EXPECT_THROW((void)rig.engine.registerTransaction(Table::LiveCommand, 3, spare),
                 std::logic_error);
    EXPECT_THROW((void)rig.engine.registerTransaction(Table::ConfigurationCommand, 9, spare),
                 std::logic_error)
        << "code 9 is taken";
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
    EXPECT_FALSE(state().SendPending);
    EXPECT_TRUE(state().CommandBusy);

    rig.driver.run(90);
    EXPECT_TRUE(state().CommandBusy);
    EXPECT_EQ(state().ReplyWaitTicks, 100);
    rig.driver.tick();
    EXPECT_FALSE(state().CommandBusy) << "ended by its time-out after the remaining ticks";
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
    rig.driver.showPage(Page::RealTimeDataPage);
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
    EXPECT_EQ(rig.link.barPosition(), climate::link::LinkState::StartPosition);
}

TEST_F(EngineTest, LostDeviceMidTransactionEndsByTimeOutWithoutTraffic) {
    postAndSend(3);
    rig.port.loseDevice();
    rig.port.arriveAt(now() + 1, replyFrom("01 10 00 1C 00 02"));
    rig.driver.run(101);
    EXPECT_FALSE(state().CommandBusy);
    EXPECT_EQ(alarmSet.goods, 0);
    EXPECT_EQ(rig.port.writes().size(), 1u);
}

// The bar's arithmetic near its end is LinkState's test; here, that a reply moves it at all.
TEST(MarkLinkAlive, ReloadsTheCounterAndAdvancesTheBar) {
    EngineRig rig;
    EngineStaging(rig.engine).linkAliveTicks(3);
    rig.engine.MarkLinkAlive();
    EXPECT_EQ(rig.engine.state().LinkAliveTicks, 40);
    EXPECT_EQ(rig.link.barPosition(), LinkState::StartPosition + 1);
}

} // namespace

// How each kind of transaction ends, and how its end is reported.
#include "EngineFixture.h"
#include "link/LinkState.h"

#include <stdexcept>

using namespace climate::link;

namespace {

// --- outcome rules of the transaction kinds ---------------------------------------------------

TEST_F(EngineTest, CommandWrongHeaderEndsSilentlyAndCountsAsLifeOnlyWhereSoBuilt) {
    struct Case {
        std::uint8_t code;
        int barMoves;
        int expectedAliveTicks;
    };
    for (const Case c : {Case{2, 1, CommEngine::LinkAliveReload}, Case{3, 0, 0}}) {
        const double barBefore = rig.link.barPosition();
        stage().linkAliveTicks(0);
        postAndSend(c.code);
        rig.port.arriveAt(now() + 1, replyFrom("02 10 00 16 00 05")); // another slave
        rig.driver.tick();
        EXPECT_FALSE(state().CommandBusy) << int(c.code);
        EXPECT_EQ(state().PendingCommand, EngineState::NoCommand);
        EXPECT_EQ(rig.link.barPosition(), barBefore + c.barMoves) << int(c.code);
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
    EXPECT_TRUE(state().CommandBusy);
    rig.driver.run(100);
    EXPECT_FALSE(state().CommandBusy);
    EXPECT_EQ(now(), sent + 101);
    EXPECT_EQ(heaterSet.goods, 0);
    EXPECT_EQ(rig.link.barPosition(), climate::link::LinkState::StartPosition);
}

TEST_F(EngineTest, CommandGoodReplyFromTheNewAddress) {
    stage().deviceAddress(7);
    const int sent = postAndSend(2);
    EXPECT_EQ(rig.port.writes()[0].bytes[0], 7);
    rig.port.arriveAt(sent + 1, replyFrom("07 10 00 16 00 05"));
    rig.driver.tick();
    EXPECT_EQ(heaterSet.goods, 1);
    EXPECT_EQ(state().LinkAliveTicks, CommEngine::LinkAliveReload);
}

TEST_F(EngineTest, PollGoodDecodesPurgesMovesOnThenMarksTheLinkAlive) {
    startPolling();
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
    EXPECT_EQ(rig.link.barPosition(), LinkState::StartPosition + 1);
    EXPECT_TRUE(state().SendPending);
}

TEST_F(EngineTest, PollWrongHeaderMarksTheLinkAliveAndMovesOn) {
    startPolling();
    rig.port.arriveAt(now() + 1, replyFrom("01 03 02 0F 80"));
    rig.driver.tick();
    EXPECT_EQ(polls[0]->decodes, 0);
    EXPECT_EQ(state().PollStep, 1);
    EXPECT_TRUE(state().SendPending);
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

// --- how an end is reported ---------------------------------------------------------------------

// The outcomes a poster learns, in order.
class Outcomes {
public:
    [[nodiscard]] CommEngine::OnEnded recorder() {
        return [this](TransactionOutcome outcome) { seen.push_back(outcome); };
    }
    std::vector<TransactionOutcome> seen;
};

using O = TransactionOutcome;

TEST_F(EngineTest, ThePosterLearnsHowItsCommandEnded) {
    struct Case {
        const char* name;
        Bytes reply; // empty: no reply at all
        O expected;
    };
    const std::vector<Case> cases{
        {"good", replyFrom("01 10 00 1C 00 02"), O::Good},
        {"another slave", replyFrom("02 10 00 1C 00 02"), O::WrongHeader},
        {"bad CRC waits for the time-out", fromHex("01 10 00 1C 00 02 00 00"), O::Timeout},
        {"silence", {}, O::Timeout},
    };
    for (const Case& c : cases) {
        Outcomes outcomes;
        rig.engine.postCommand(3, outcomes.recorder());
        rig.driver.tick();
        if (!c.reply.empty()) {
            rig.port.arriveAt(now() + 1, c.reply);
        }
        ASSERT_TRUE(rig.driver.runUntil([&] { return !state().CommandBusy; }, 200)) << c.name;
        EXPECT_EQ(outcomes.seen, std::vector<O>{c.expected}) << c.name;
    }
}

TEST_F(EngineTest, ACommandDroppedOrPreemptedEndsAbandoned) {
    Outcomes first;
    Outcomes second;
    rig.engine.postCommand(3, first.recorder());
    rig.driver.tick();
    rig.engine.postCommand(9, second.recorder());
    EXPECT_EQ(first.seen, std::vector<O>{O::Abandoned}) << "pre-empted by the next post";
    EXPECT_TRUE(second.seen.empty());

    rig.driver.showPage(Page::DeclarationPage);
    rig.driver.run(3);
    EXPECT_TRUE(second.seen.empty()) << "a Configuration command stays posted on Declaration";
    rig.driver.showPage(Page::ConfigurationPage);
    EXPECT_EQ(second.seen, std::vector<O>{O::Abandoned}) << "dropped on entering its page";
    EXPECT_EQ(first.seen.size(), 1u) << "each poster learns once";
}

// Codes 1 and 2 are the External Fan and Heater Sets on Configuration but the fan-curve reads on
// Declaration, which runs a busy code 1 or 2 as its own read. A Set still posted or unanswered
// when Declaration is shown ends there as that read: its poster must not take the read's outcome
// (a time-out, or "good" for a write that never went out) for the write's.
TEST_F(EngineTest, ASetThatEndsAsAFanCurveReadIsAbandonedForItsPoster) {
    Bytes curveReply = fromHex("01 03 16");
    curveReply.resize(25, 0x11);
    struct Case {
        const char* name;
        bool sentBeforeTheSwitch;
        Bytes lineAnswers; // what arrives once Declaration has sent, or the write's own reply
    };
    const std::vector<Case> cases{
        {"unsent: Declaration sends its read and gets a good reply", false, withCrc(curveReply)},
        {"sent: the write's reply reaches the read", true, replyFrom("01 10 00 16 00 05")},
        {"sent: nothing answers", true, {}},
    };
    for (const Case& c : cases) {
        rig.driver.showPage(Page::ConfigurationPage);
        Outcomes set;
        rig.engine.postCommand(2, set.recorder()); // Heater "Set"
        if (c.sentBeforeTheSwitch) {
            rig.driver.tick();
            ASSERT_EQ(rig.port.writes().back().bytes[1], 0x10) << c.name;
        }
        rig.driver.showPage(Page::DeclarationPage);
        rig.driver.tick();
        if (!c.lineAnswers.empty()) {
            rig.port.arriveAt(now() + 1, c.lineAnswers);
        }
        ASSERT_TRUE(rig.driver.runUntil([&] { return !state().CommandBusy; }, 300)) << c.name;
        EXPECT_EQ(set.seen, std::vector<O>{O::Abandoned}) << c.name;
    }
    EXPECT_EQ(drawExtfan.goods, 1) << "the read itself ran as Declaration runs it";

    // A fan-curve read posted on Declaration still learns its own outcome.
    Outcomes read;
    rig.engine.postCommand(2, read.recorder());
    rig.driver.tick();
    rig.port.arriveAt(now() + 1, withCrc(curveReply));
    ASSERT_TRUE(rig.driver.runUntil([&] { return !state().CommandBusy; }, 300));
    EXPECT_EQ(read.seen, std::vector<O>{O::Good});
}

TEST_F(EngineTest, ThePosterMayPostTheNextCommandAsTheFirstEnds) {
    std::vector<std::uint8_t> order;
    rig.engine.postCommand(3, [&](TransactionOutcome outcome) {
        ASSERT_EQ(outcome, O::Good);
        EXPECT_FALSE(state().CommandBusy) << "the engine is done with the first one";
        order.push_back(3);
        rig.engine.postCommand(9, [&](TransactionOutcome) { order.push_back(9); });
    });
    rig.driver.tick();
    rig.port.arriveAt(now() + 1, replyFrom("01 10 00 1C 00 02"));
    rig.driver.tick();
    EXPECT_EQ(alarmSet.goods, 1);
    EXPECT_TRUE(state().CommandBusy);
    EXPECT_EQ(state().PendingCommand, 9);
    const std::size_t writes = rig.port.writes().size();
    rig.driver.tick();
    ASSERT_EQ(rig.port.writes().size(), writes + 1) << "the next one goes out on the next tick";
    EXPECT_EQ(rig.port.writes().back().bytes, withCrc(fromHex("01 03 00 00 00 2F"))) << "Read All";
    EXPECT_EQ(order, std::vector<std::uint8_t>{3});
}

TEST_F(EngineTest, TheLiveCommandsPosterLearnsItsOutcome) {
    startPolling();
    Outcomes good;
    rig.engine.postLiveCommand(1, good.recorder());
    rig.driver.tick();
    rig.port.arriveAt(now() + 1, replyFrom("01 06 00 1E 00 FA"));
    rig.driver.tick();
    EXPECT_EQ(good.seen, std::vector<O>{O::Good});

    Outcomes silent;
    Outcomes preempted;
    rig.engine.postLiveCommand(1, preempted.recorder());
    rig.engine.postLiveCommand(1, silent.recorder());
    EXPECT_EQ(preempted.seen, std::vector<O>{O::Abandoned});
    ASSERT_TRUE(rig.driver.runUntil([&] { return state().LiveCommand == 0; }, 200));
    EXPECT_EQ(silent.seen, std::vector<O>{O::Timeout});
}

TEST_F(EngineTest, ARegistrationHandleFreesItsPlace) {
    ProbeCommand spare{Requests::ReadAll, 100};
    {
        const CommEngine::Registration handle =
            rig.engine.registerTransaction(Table::ConfigurationCommand, 7, spare);
        EXPECT_TRUE(handle.active());
        EXPECT_THROW((void)rig.engine.registerTransaction(Table::ConfigurationCommand, 7, spare),
                     std::logic_error);
    }
    CommEngine::Registration again =
        rig.engine.registerTransaction(Table::ConfigurationCommand, 7, spare);
    again.reset();
    EXPECT_FALSE(again.active());
    rig.engine.postCommand(7);
    rig.driver.tick();
    EXPECT_TRUE(rig.port.writes().empty()) << "nothing is registered at 7 any more";
}

// A command that shows a box on a good reply and marks the link alive when it is closed.
class BoxCommand : public CommandTransaction {
public:
    BoxCommand() : CommandTransaction(RequestShape{16, 28, 2, 8}, 200) {}
    void onGood(TransactionContext& context, std::span<const std::uint8_t> /*reply*/) override {
        context.endCommand();
        context.showMessage(UserMessage("done", "box"), [this](TransactionContext& closed) {
            ++closeSteps;
            closed.switchDeviceAddress(9);
        });
    }
    int closeSteps = 0;
};

TEST_F(EngineTest, ABoxCloseStepRunsOnlyWhileItsTransactionIsRegistered) {
    for (const bool unregisterFirst : {false, true}) {
        BoxCommand command;
        auto handle = rig.engine.registerTransaction(Table::ConfigurationCommand, 7, command);
        stage().deviceAddress(1);
        postAndSend(7);
        rig.port.arriveAt(now() + 1, replyFrom("01 10 00 1C 00 02"));
        rig.driver.tick();
        ASSERT_FALSE(rig.window.messages().empty());
        if (unregisterFirst) {
            handle.reset();
        }
        rig.window.closeMessage(rig.window.messages().size() - 1);
        EXPECT_EQ(command.closeSteps, unregisterFirst ? 0 : 1) << unregisterFirst;
        EXPECT_EQ(state().DeviceAddress, unregisterFirst ? 1u : 9u) << unregisterFirst;
    }
}

} // namespace

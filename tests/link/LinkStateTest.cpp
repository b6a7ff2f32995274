// The link-state model: the link bar's arithmetic (replies, Timer1 ticks, loss and return), its
// colour state and change signals, and the port's state taken from the port.
#include "link/LinkState.h"
#include "support/FakeSerialPort.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace climate::link;

namespace {

// A step of what reaches the model: a received reply, or a Timer1 tick on an answering or a
// lost link.
enum class Step { Reply, AnsweringTick, LostTick };

struct BarCase {
    std::string name;
    int repliesBefore; // replies from the start position before the steps
    std::vector<Step> steps;
    double position;
    bool answering;
};

class LinkBar : public testing::TestWithParam<BarCase> {};

TEST_P(LinkBar, FollowsRepliesAndTicks) {
    const BarCase& c = GetParam();
    FakeSerialPort port;
    LinkState link(port);
    for (int i = 0; i < c.repliesBefore; ++i) {
        link.replyReceived();
    }
    for (const Step step : c.steps) {
        if (step == Step::Reply) {
            link.replyReceived();
        } else {
            link.timerTick(step == Step::AnsweringTick);
        }
    }
    EXPECT_EQ(link.barPosition(), c.position);
    EXPECT_EQ(link.answering(), c.answering);
}

using enum Step;
// From the start position 5, n replies stand the bar at 5 + n.
INSTANTIATE_TEST_SUITE_P(
    Arithmetic, LinkBar,
    testing::Values(
        BarCase{"StartsAt5Green", 0, {}, 5, true}, BarCase{"ReplyAddsOne", 0, {Reply}, 6, true},
        BarCase{"AnsweringTickAddsOne", 0, {AnsweringTick}, 6, true},
        BarCase{"ReplyReaches100WithoutWrapping", 94, {Reply}, 100, true},
        BarCase{"RepliesBeyond100StayAtTheEnd", 95, {Reply, Reply, Reply}, 100, true},
        BarCase{"TickAt99Reaches100", 94, {AnsweringTick}, 100, true},
        BarCase{"TickAt100WrapsTo3", 95, {AnsweringTick}, 3, true},
        BarCase{"TickAfterRepliesBeyond100WrapsTo3", 95, {Reply, Reply, AnsweringTick}, 3, true},
        BarCase{"WrappedBarGoesOn", 95, {AnsweringTick, AnsweringTick}, 4, true},
        BarCase{"LossPutsItAt100Red", 10, {LostTick}, 100, false},
        BarCase{"LossAtStart", 0, {LostTick}, 100, false},
        BarCase{"EveryLostTickKeeps100", 0, {LostTick, LostTick, LostTick}, 100, false},
        BarCase{"ReplyWhileLostStaysAtTheEndAndRed", 0, {LostTick, Reply}, 100, false},
        BarCase{"ReturnWrapsTo3Green", 0, {LostTick, Reply, AnsweringTick}, 3, true},
        BarCase{"ReturnThenOn", 0, {LostTick, AnsweringTick, AnsweringTick}, 4, true}),
    [](const testing::TestParamInfo<BarCase>& param) { return param.param.name; });

TEST(LinkState, SignalsOnlyChanges) {
    FakeSerialPort port;
    LinkState link(port);
    QSignalSpy positions(&link, &LinkState::barPositionChanged);
    QSignalSpy colours(&link, &LinkState::answeringChanged);

    link.timerTick(false); // 5 -> 100, red
    link.timerTick(false); // stays
    link.replyReceived();  // at the end already
    link.timerTick(true);  // 100 -> 3, green
    link.timerTick(true);  // 3 -> 4

    ASSERT_EQ(positions.count(), 3);
    EXPECT_EQ(positions.at(0).at(0).toDouble(), 100);
    EXPECT_EQ(positions.at(1).at(0).toDouble(), 3);
    EXPECT_EQ(positions.at(2).at(0).toDouble(), 4);
    ASSERT_EQ(colours.count(), 2);
    EXPECT_FALSE(colours.at(0).at(0).toBool());
    EXPECT_TRUE(colours.at(1).at(0).toBool());
}

// The port is asked, not remembered: open from a successful open until closed, and still open
// after its device was lost (the pages then post and time out, as the caption stays "Close").
TEST(LinkState, PortStateIsThePorts) {
    FakeSerialPort port;
    const LinkState link(port);
    EXPECT_FALSE(link.portOpen());
    ASSERT_EQ(port.open("ttyUSB0"), SerialPort::OpenError::None);
    EXPECT_TRUE(link.portOpen());
    port.loseDevice();
    EXPECT_TRUE(link.portOpen()) << "a pulled adapter leaves the port open";
    port.close();
    EXPECT_FALSE(link.portOpen());
}

} // namespace

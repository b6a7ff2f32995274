#include "FaultPlan.h"
#include "FrameHex.h"

#include <gtest/gtest.h>

#include <functional>

namespace sim {
namespace {

using namespace std::chrono_literals;
using test::frame;
using test::toHex;

// A read reply of one register from slave 1.
const std::vector<std::uint8_t> Reply = frame("01 03 02 00 FA");

std::string sent(const std::vector<ReplyChunk>& chunks) {
    std::vector<std::uint8_t> bytes;
    for (const ReplyChunk& chunk : chunks)
        bytes.insert(bytes.end(), chunk.bytes.begin(), chunk.bytes.end());
    return toHex(bytes);
}

struct ShapeCase {
    const char* name;
    std::function<void(FaultPlan&)> arm;
    std::string expected; // whole reply as it goes on the line
};

class FaultPlanShapes : public testing::TestWithParam<ShapeCase> {};

TEST_P(FaultPlanShapes, SpoilTheNextReplyOnly) {
    FaultPlan plan;
    GetParam().arm(plan);
    EXPECT_EQ(sent(plan.shape(Reply, 1)), GetParam().expected);
    EXPECT_EQ(sent(plan.shape(Reply, 1)), toHex(Reply)) << "the fault must be used up";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FaultPlanShapes,
    testing::Values(
        // Header faults keep a valid CRC: the master sees a clean reply from the wrong place.
        ShapeCase{"WrongAddressNext", [](FaultPlan& p) { p.armWrongAddress(std::nullopt); },
                  toHex(frame("02 03 02 00 FA"))},
        ShapeCase{"WrongAddressGiven", [](FaultPlan& p) { p.armWrongAddress(7); },
                  toHex(frame("07 03 02 00 FA"))},
        ShapeCase{"WrongAddressNeverOwn", [](FaultPlan& p) { p.armWrongAddress(1); },
                  toHex(frame("02 03 02 00 FA"))},
        ShapeCase{"WrongFunction", [](FaultPlan& p) { p.armWrongFunction(); },
                  toHex(frame("01 04 02 00 FA"))},
        ShapeCase{"BadCrc", [](FaultPlan& p) { p.armBadCrc(); },
                  toHex(std::vector<std::uint8_t>{0x01, 0x03, 0x02, 0x00, 0xFA, Reply[5],
                                                  static_cast<std::uint8_t>(Reply[6] ^ 0xFF)})},
        ShapeCase{"AllHeaderFaultsTogether",
                  [](FaultPlan& p) {
                      p.armWrongAddress(9);
                      p.armWrongFunction();
                  },
                  toHex(frame("09 04 02 00 FA"))}),
    [](const testing::TestParamInfo<ShapeCase>& testCase) { return testCase.param.name; });

TEST(FaultPlan, BadCrcReallyBreaksTheCheck) {
    FaultPlan plan;
    plan.armBadCrc();
    const auto chunks = plan.shape(Reply, 1);
    ASSERT_EQ(chunks.size(), 1U);
    EXPECT_FALSE(hasValidCrc(chunks.front().bytes));
}

TEST(FaultPlan, WrongFunctionSwapsNeighbouringCodes) {
    const std::pair<std::uint8_t, std::uint8_t> swaps[] = {{1, 2}, {2, 1}, {3, 4},   {4, 3},
                                                           {5, 6}, {6, 5}, {16, 15}, {0x83, 0x84}};
    for (const auto& [from, to] : swaps) {
        FaultPlan plan;
        plan.armWrongFunction();
        auto reply = frame("01 00 00 00 00 00");
        reply[1] = from;
        refreshCrc(reply);
        const auto chunks = plan.shape(reply, 1);
        ASSERT_EQ(chunks.size(), 1U);
        EXPECT_EQ(chunks.front().bytes[1], to) << int(from);
        EXPECT_TRUE(hasValidCrc(chunks.front().bytes));
    }
}

TEST(FaultPlan, SplitCutsTheReplyIntoTimedChunks) {
    FaultPlan plan;
    plan.setDelay(100ms);
    plan.armSplit(3, 20ms);
    const auto chunks = plan.shape(Reply, 1);
    ASSERT_EQ(chunks.size(), 3U);
    EXPECT_EQ(chunks[0].delay, 100ms);
    EXPECT_EQ(chunks[1].delay, 20ms);
    EXPECT_EQ(chunks[2].delay, 20ms);
    EXPECT_EQ(chunks[0].bytes.size(), 3U);
    EXPECT_EQ(chunks[1].bytes.size(), 3U);
    EXPECT_EQ(chunks[2].bytes.size(), 1U);
    EXPECT_EQ(sent(chunks), toHex(Reply));

    // The delay stays, the split is used up.
    const auto next = plan.shape(Reply, 1);
    ASSERT_EQ(next.size(), 1U);
    EXPECT_EQ(next[0].delay, 100ms);
}

TEST(FaultPlan, CountsLastForThatManyRepliesOrUntilCleared) {
    FaultPlan plan;
    plan.armBadCrc(3);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(hasValidCrc(plan.shape(Reply, 1).front().bytes)) << i;
    EXPECT_TRUE(hasValidCrc(plan.shape(Reply, 1).front().bytes));

    plan.armWrongAddress(5, FaultPlan::Forever);
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(plan.shape(Reply, 1).front().bytes[0], 5);
    plan.clear();
    EXPECT_EQ(sent(plan.shape(Reply, 1)), toHex(Reply));
}

TEST(FaultPlan, ExceptionIsTakenOncePerCount) {
    FaultPlan plan;
    EXPECT_FALSE(plan.takeException());
    plan.armException(2, 2);
    EXPECT_EQ(plan.takeException(), 2);
    EXPECT_EQ(plan.takeException(), 2);
    EXPECT_FALSE(plan.takeException());
}

TEST(FaultPlan, DebugReplyOnlyTouchesEchoesOfRegister30) {
    FaultPlan plan;
    plan.setDebugReply(0xFE70);
    EXPECT_EQ(sent(plan.shape(frame("01 06 00 1E 00 FA"), 1)), toHex(frame("01 06 00 1E FE 70")));
    EXPECT_EQ(sent(plan.shape(frame("01 06 00 1F 00 FA"), 1)), toHex(frame("01 06 00 1F 00 FA")));
    EXPECT_EQ(sent(plan.shape(frame("01 10 00 1E 00 01"), 1)), toHex(frame("01 10 00 1E 00 01")));
    plan.setDebugReply(std::nullopt);
    EXPECT_EQ(sent(plan.shape(frame("01 06 00 1E 00 FA"), 1)), toHex(frame("01 06 00 1E 00 FA")));
}

TEST(FaultPlan, DescribeListsWhatIsArmed) {
    FaultPlan plan;
    EXPECT_EQ(plan.describe(), "silent=off delay=0 debugreply=off");
    plan.setSilent(true);
    plan.setDelay(40ms);
    plan.armBadCrc(2);
    plan.armException(3, FaultPlan::Forever);
    EXPECT_EQ(plan.describe(), "silent=on delay=40 debugreply=off badcrc=x2 exception=3xalways");
}

} // namespace
} // namespace sim

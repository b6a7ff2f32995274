#include "MbapFraming.h"
#include "FaultPlan.h"
#include "FrameHex.h"
#include "TcpLink.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

using namespace std::chrono_literals;
using test::frame;
using test::fromHex;
using test::toHex;

TEST(MbapRequestFramer, RequestsBecomeRtuFramesWithTheirIds) {
    MbapRequestFramer framer;
    // Two requests in one segment, the second cut in two.
    const auto stream = fromHex("00 07 00 00 00 06 01 03 00 29 00 03"
                                "00 08 00 00 00 06 05 04 00 00 00 1B");
    framer.feed(std::span(stream).first(17));
    auto first = framer.next();
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->transactionId, 7);
    EXPECT_EQ(toHex(first->rtu), toHex(frame("01 03 00 29 00 03")));
    EXPECT_FALSE(framer.next().has_value());
    framer.feed(std::span(stream).subspan(17));
    auto second = framer.next();
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->transactionId, 8);
    EXPECT_EQ(toHex(second->rtu), toHex(frame("05 04 00 00 00 1B")));
    EXPECT_EQ(framer.skippedBytes(), 0u);
}

TEST(MbapRequestFramer, ImpossibleHeaderSkipsTheWholeBuffer) {
    for (const char* garbage : {"00 07 00 01 00 06 01 03 00 29 00 03", // protocol 1
                                "00 07 00 00 00 01 01",                // length 1
                                "00 07 00 00 01 00 01 03"}) {          // length 256
        MbapRequestFramer framer;
        const auto bytes = fromHex(garbage);
        framer.feed(bytes);
        EXPECT_FALSE(framer.next().has_value()) << garbage;
        EXPECT_EQ(framer.skippedBytes(), bytes.size()) << garbage;
        framer.feed(fromHex("00 09 00 00 00 06 01 03 00 29 00 03"));
        EXPECT_TRUE(framer.next().has_value()) << "the next request is taken: " << garbage;
    }
}

TEST(MbapReply, CarriesTheRequestsIdAndLosesTheCrc) {
    const auto chunks = toMbapReply({{5ms, frame("01 03 02 00 FA")}}, 0x1234);
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0].delay, 5ms);
    EXPECT_EQ(toHex(chunks[0].bytes), "12 34 00 00 00 05 01 03 02 00 FA");
}

TEST(MbapReply, FaultsOfThePlanShowInTheMbapForm) {
    FaultPlan plan;
    plan.armBadCrc();
    EXPECT_EQ(toHex(toMbapReply(plan.shape(frame("01 03 02 00 FA"), 1), 7)[0].bytes),
              "00 08 00 00 00 05 01 03 02 00 FA")
        << "a spoilt CRC becomes the wrong transaction id";
    plan.armWrongAddress(9);
    EXPECT_EQ(toHex(toMbapReply(plan.shape(frame("01 03 02 00 FA"), 1), 7)[0].bytes),
              "00 07 00 00 00 05 09 03 02 00 FA")
        << "a wrong address becomes the unit id";
    plan.armSplit(4, 20ms);
    const auto split = toMbapReply(plan.shape(frame("01 03 02 00 FA"), 1), 7);
    ASSERT_EQ(split.size(), 3u);
    EXPECT_EQ(toHex(split[0].bytes), "00 07 00 00");
    EXPECT_EQ(toHex(split[2].bytes), "02 00 FA");
    EXPECT_EQ(split[1].delay, 20ms);
    EXPECT_TRUE(toMbapReply({}, 7).empty());
}

TEST(TcpEndpoint, ParsesHostAndPort) {
    using Endpoint = TcpLink::Endpoint;
    const struct {
        const char* text;
        std::optional<Endpoint> expected;
    } cases[] = {
        {"127.0.0.1:1502", Endpoint{"127.0.0.1", 1502}},
        {"0", Endpoint{"127.0.0.1", 0}},
        {":4001", Endpoint{"127.0.0.1", 4001}},
        {"[::1]:0", Endpoint{"::1", 0}},
        {"0.0.0.0:502", Endpoint{"0.0.0.0", 502}},
        {"::1:502", std::nullopt},
        {"localhost:502", std::nullopt},
        {"127.0.0.1:65536", std::nullopt},
        {"127.0.0.1:", std::nullopt},
        {"127.0.0.1", std::nullopt},
        {"[zz]:1", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TcpLink::parseEndpoint(c.text), c.expected) << c.text;
    }
}

} // namespace
} // namespace sim

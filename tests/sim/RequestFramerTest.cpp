#include "RequestFramer.h"
#include "FrameHex.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

using namespace std::chrono_literals;
using test::frame;
using test::fromHex;
using test::toHex;
using Clock = RequestFramer::Clock;

const std::vector<std::uint8_t> ReadRequest = frame("01 03 00 00 00 0A");
const std::vector<std::uint8_t> WriteRequest = frame("01 10 00 1B 00 01 02 00 05");

class RequestFramerTest : public testing::Test {
protected:
    void feed(const std::vector<std::uint8_t>& bytes, Clock::duration at = 0ms) {
        framer.feed(bytes, start + at);
    }
    // Frames available at that moment.
    std::vector<std::string> take(Clock::duration at = 0ms) {
        std::vector<std::string> frames;
        while (const auto next = framer.next(start + at)) {
            frames.push_back(toHex(*next));
        }
        return frames;
    }

    const Clock::time_point start = Clock::now();
    RequestFramer framer{50ms};
};

TEST_F(RequestFramerTest, WholeRequestIsTakenAtOnce) {
    feed(ReadRequest);
    EXPECT_EQ(take(), std::vector{toHex(ReadRequest)});
    EXPECT_FALSE(framer.deadline());
}

TEST_F(RequestFramerTest, RequestInPiecesIsTakenWhenComplete) {
    const std::vector<std::uint8_t> head(WriteRequest.begin(), WriteRequest.begin() + 5);
    const std::vector<std::uint8_t> tail(WriteRequest.begin() + 5, WriteRequest.end());
    feed(head);
    EXPECT_TRUE(take(1ms).empty());
    EXPECT_EQ(framer.deadline(), start + 50ms);
    feed(tail, 30ms);
    EXPECT_EQ(take(30ms), std::vector{toHex(WriteRequest)});
}

TEST_F(RequestFramerTest, BackToBackRequestsAreSeparated) {
    std::vector<std::uint8_t> both = ReadRequest;
    both.insert(both.end(), WriteRequest.begin(), WriteRequest.end());
    feed(both);
    EXPECT_EQ(take(), (std::vector{toHex(ReadRequest), toHex(WriteRequest)}));
}

TEST_F(RequestFramerTest, NoiseBeforeARequestIsSkippedWithoutWaiting) {
    for (const char* noise : {"FF", "01 03 07", "00 10 00 00 00 7F FE", "55 AA 55 AA 01 11"}) {
        RequestFramer fresh(50ms);
        std::vector<std::uint8_t> bytes = fromHex(noise);
        bytes.insert(bytes.end(), ReadRequest.begin(), ReadRequest.end());
        fresh.feed(bytes, start);
        const auto found = fresh.next(start);
        ASSERT_TRUE(found) << noise;
        EXPECT_EQ(toHex(*found), toHex(ReadRequest)) << noise;
        EXPECT_EQ(fresh.skippedBytes(), fromHex(noise).size()) << noise;
    }
}

TEST_F(RequestFramerTest, CorruptedRequestIsDroppedOnceTheLineIsQuiet) {
    std::vector<std::uint8_t> corrupted = ReadRequest;
    corrupted.back() ^= 0x01;
    feed(corrupted);
    EXPECT_TRUE(take(10ms).empty());
    EXPECT_TRUE(take(60ms).empty());
    EXPECT_EQ(framer.skippedBytes(), corrupted.size());
    feed(ReadRequest, 70ms);
    EXPECT_EQ(take(70ms), std::vector{toHex(ReadRequest)});
}

TEST_F(RequestFramerTest, StalePartialRequestIsGivenUp) {
    feed(std::vector<std::uint8_t>(ReadRequest.begin(), ReadRequest.begin() + 4));
    EXPECT_TRUE(take(49ms).empty());
    EXPECT_TRUE(take(50ms).empty());
    EXPECT_FALSE(framer.deadline());
    feed(ReadRequest, 60ms);
    EXPECT_EQ(take(60ms), std::vector{toHex(ReadRequest)});
}

TEST_F(RequestFramerTest, RequestOfAnotherFunctionIsTakenWhenTheLineFallsQuiet) {
    const auto reportSlaveId = frame("01 11");
    feed(reportSlaveId);
    EXPECT_TRUE(take(10ms).empty());
    EXPECT_EQ(take(50ms), std::vector{toHex(reportSlaveId)});
}

} // namespace
} // namespace sim

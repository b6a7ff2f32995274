#include "link/CheckReply.h"
#include "support/FrameHex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace climate::link;

namespace {

const char* nameOf(ReplyStatus status) {
    switch (status) {
    case ReplyStatus::Incomplete:
        return "Incomplete";
    case ReplyStatus::WrongHeader:
        return "WrongHeader";
    case ReplyStatus::BadCrc:
        return "BadCrc";
    case ReplyStatus::Good:
        return "Good";
    }
    return "?";
}

struct ReplyCase {
    const char* name;
    std::vector<std::uint8_t> collected;
    std::uint8_t function;
    std::uint32_t replyLength;
    std::uint32_t deviceAddress;
    ReplyStatus expected;
};

std::vector<std::uint8_t> operator+(std::vector<std::uint8_t> a,
                                    const std::vector<std::uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<std::uint8_t> corrupted(std::vector<std::uint8_t> bytes, std::size_t at) {
    bytes[at] ^= 0x40;
    return bytes;
}

std::vector<std::uint8_t> truncated(std::vector<std::uint8_t> bytes, std::size_t length) {
    bytes.resize(length);
    return bytes;
}

// A complete reply to "All Read": 47 registers, 99 bytes.
std::vector<std::uint8_t> readAllReply() {
    std::vector<std::uint8_t> body = fromHex("01 03 5E");
    for (int k = 0; k < 47; ++k) {
        body.push_back(static_cast<std::uint8_t>(k));
        body.push_back(static_cast<std::uint8_t>(0xA0 + k));
    }
    return withCrc(body);
}

const std::vector<std::uint8_t> WriteEcho = replyFrom("01 10 00 00 00 0B");

std::vector<ReplyCase> replyCases() {
    return {
        {"Empty", {}, 16, 8, 1, ReplyStatus::Incomplete},
        {"SevenOfEightBytesWhateverTheContent", truncated(WriteEcho, 7), 16, 8, 1,
         ReplyStatus::Incomplete},
        {"SevenBytesOfGarbage", fromHex("FF FF FF FF FF FF FF"), 16, 8, 1, ReplyStatus::Incomplete},
        {"EighthByteMakesItGood", WriteEcho, 16, 8, 1, ReplyStatus::Good},
        {"StrayBytesAfterAGoodReply", WriteEcho + fromHex("00 FF 13"), 16, 8, 1, ReplyStatus::Good},
        {"OtherAddressWithRightCrc", replyFrom("02 10 00 00 00 0B"), 16, 8, 1,
         ReplyStatus::WrongHeader},
        {"AddressChangedTo7AndReplyFrom7", replyFrom("07 10 00 1B 00 01"), 16, 8, 7,
         ReplyStatus::Good},
        {"OtherFunctionWithRightCrc", replyFrom("01 03 02 00 FA"), 1, 7, 1,
         ReplyStatus::WrongHeader},
        {"WrongHeaderWinsOverBadCrc", corrupted(replyFrom("02 01 02 FF FF"), 3), 1, 7, 1,
         ReplyStatus::WrongHeader},
        {"CorruptedDataByte", corrupted(replyFrom("01 01 02 0F 00"), 3), 1, 7, 1,
         ReplyStatus::BadCrc},
        {"CorruptedCrcByte", corrupted(replyFrom("01 01 02 0F 00"), 6), 1, 7, 1,
         ReplyStatus::BadCrc},
        {"CrcBytesSwapped", fromHex("01 06 00 01 00 03 0B 98"), 6, 8, 1, ReplyStatus::BadCrc},
        {"ByteCountNotExamined", replyFrom("01 03 63 00 FA"), 3, 7, 1, ReplyStatus::Good},
        {"ExceptionReplyStaysIncomplete", replyFrom("01 81 02"), 1, 7, 1, ReplyStatus::Incomplete},
        {"ExceptionReplyWithTrailingNoiseIsWrongHeader", replyFrom("01 81 02") + fromHex("00 00"),
         1, 7, 1, ReplyStatus::WrongHeader},
        {"LongestReply99Bytes", readAllReply(), 3, 99, 1, ReplyStatus::Good},
        {"LongestReplyOneShort", truncated(readAllReply(), 98), 3, 99, 1, ReplyStatus::Incomplete},
        {"LongestReplyCorrupted", corrupted(readAllReply(), 50), 3, 99, 1, ReplyStatus::BadCrc},
    };
}

class CheckReplyCases : public testing::TestWithParam<ReplyCase> {};

TEST_P(CheckReplyCases, Decides) {
    const ReplyCase& c = GetParam();
    EXPECT_STREQ(nameOf(CheckReply(c.collected, c.function, c.replyLength, c.deviceAddress)),
                 nameOf(c.expected))
        << toHex(c.collected);
}

INSTANTIATE_TEST_SUITE_P(Link, CheckReplyCases, testing::ValuesIn(replyCases()),
                         [](const testing::TestParamInfo<ReplyCase>& testCase) {
                             return std::string(testCase.param.name);
                         });

TEST(CheckReply, IncompleteUntilReplyLengthThenExaminedByteByByte) {
    const auto reply = replyFrom("01 04 1C 00 01 00 02 00 03 00 04 00 05 00 06 00 07 00 08 00 09 "
                                 "00 0A 00 0B 00 0C 00 0D 00 0E");
    ASSERT_EQ(reply.size(), 33u);
    for (std::size_t n = 0; n < reply.size(); ++n) {
        EXPECT_EQ(CheckReply(std::span(reply).first(n), 4, 33, 1), ReplyStatus::Incomplete) << n;
    }
    EXPECT_EQ(CheckReply(reply, 4, 33, 1), ReplyStatus::Good);
}

} // namespace

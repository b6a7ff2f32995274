#include "link/MbapCodec.h"
#include "support/FrameHex.h"

#include <gtest/gtest.h>

#include <vector>

using namespace climate::link;

namespace {

using Bytes = std::vector<std::uint8_t>;

// What the engine reads: every RTU byte the codec has ready.
Bytes readAll(MbapCodec& codec) {
    Bytes out(codec.available());
    out.resize(codec.read(out.data(), out.size()));
    return out;
}

// A codec that has sent one request (read input registers 0 ... 3 of unit 1), id 1.
class MbapExchange : public ::testing::Test {
protected:
    void SetUp() override {
        const Bytes sent = codec.encodeRequest(withCrc(fromHex("01 04 00 00 00 04")));
        ASSERT_EQ(toHex(sent), "00 01 00 00 00 06 01 04 00 00 00 04");
    }
    void receive(std::span<const std::uint8_t> bytes) { codec.receive(bytes); }

    MbapCodec codec;
    // The reply as a gateway sends it, and as the engine must see it.
    const Bytes reply = fromHex("00 01 00 00 00 0B 01 04 08 00 01 00 02 00 03 00 04");
    const Bytes rtuReply = replyFrom("01 04 08 00 01 00 02 00 03 00 04");
};

TEST(MbapCodecRequests, DropTheCrcAndNumberTransactions) {
    MbapCodec codec;
    EXPECT_EQ(toHex(codec.encodeRequest(withCrc(fromHex("01 03 00 00 00 01")))),
              "00 01 00 00 00 06 01 03 00 00 00 01");
    EXPECT_EQ(codec.awaitedId(), 1);
    EXPECT_EQ(toHex(codec.encodeRequest(withCrc(fromHex("07 10 00 1C 00 02 04 02 58 FF C4")))),
              "00 02 00 00 00 0B 07 10 00 1C 00 02 04 02 58 FF C4");
    EXPECT_EQ(codec.awaitedId(), 2);
    // Too short to hold address, function and CRC.
    EXPECT_TRUE(codec.encodeRequest(fromHex("01 03 84")).empty());
}

TEST_F(MbapExchange, ReplyBecomesAnRtuFrameWithItsCrc) {
    receive(reply);
    EXPECT_EQ(toHex(readAll(codec)), toHex(rtuReply));
    ASSERT_TRUE(codec.lastReplyHeader().has_value());
    EXPECT_EQ(*codec.lastReplyHeader(), (MbapCodec::Header{1, 0, 11, 1}));
    EXPECT_EQ(toHex(codec.lastReplyHeaderBytes()), "00 01 00 00 00 0B 01");
    EXPECT_FALSE(codec.awaitedId().has_value());
}

TEST_F(MbapExchange, SplitReplyIsReassembled) {
    for (const std::size_t cut : {1u, 3u, 6u, 7u, 12u, 16u}) {
        MbapCodec split;
        (void)split.encodeRequest(withCrc(fromHex("01 04 00 00 00 04")));
        split.receive(std::span(reply).first(cut));
        EXPECT_EQ(split.available(), 0u) << cut;
        split.receive(std::span(reply).subspan(cut));
        EXPECT_EQ(toHex(readAll(split)), toHex(rtuReply)) << cut;
    }
}

TEST_F(MbapExchange, ReplyWithAnotherTransactionIdIsDropped) {
    Bytes stale = reply;
    stale[1] = 0x00; // id 0: an answer to an earlier request
    receive(stale);
    EXPECT_EQ(codec.available(), 0u);
    EXPECT_EQ(codec.droppedFrames(), 1u);
    // The right reply right behind it still gets through.
    receive(reply);
    EXPECT_EQ(toHex(readAll(codec)), toHex(rtuReply));
}

TEST_F(MbapExchange, SecondCopyOfTheReplyIsDropped) {
    receive(reply);
    receive(reply);
    EXPECT_EQ(toHex(readAll(codec)), toHex(rtuReply));
    EXPECT_EQ(codec.droppedFrames(), 1u);
}

TEST_F(MbapExchange, GarbageDiscardsEverythingBuffered) {
    struct Garbage {
        const char* what;
        Bytes bytes;
    };
    const Garbage cases[] = {
        {"protocol 1", fromHex("00 01 00 01 00 0B 01 04 08 00 01")},
        {"length 0", fromHex("00 01 00 00 00 00 01")},
        {"length 255", fromHex("00 01 00 00 00 FF 01 04")},
        {"noise", fromHex("A7 3C 91 55 0E 12 FF 80 41")},
    };
    for (const Garbage& garbage : cases) {
        MbapCodec fresh;
        (void)fresh.encodeRequest(withCrc(fromHex("01 04 00 00 00 04")));
        // The genuine reply right behind the garbage, in the same segment, goes with it.
        Bytes stream = garbage.bytes;
        stream.insert(stream.end(), reply.begin(), reply.end());
        fresh.receive(stream);
        EXPECT_EQ(fresh.available(), 0u) << garbage.what;
        EXPECT_EQ(fresh.discardedBytes(), stream.size()) << garbage.what;
        // Once the stream is empty again, the next reply is taken.
        fresh.discardInput();
        fresh.receive(reply);
        EXPECT_EQ(toHex(readAll(fresh)), toHex(rtuReply)) << garbage.what;
    }
}

TEST_F(MbapExchange, DiscardingInputKeepsTheAwaitedId) {
    // The engine purges right after writing a request; the reply must still be taken.
    receive(std::span(reply).first(4));
    codec.discardInput();
    EXPECT_EQ(codec.awaitedId(), 1);
    receive(reply);
    EXPECT_EQ(toHex(readAll(codec)), toHex(rtuReply));
    codec.reset();
    receive(reply);
    EXPECT_EQ(codec.available(), 0u) << "a new connection awaits nothing";
}

TEST_F(MbapExchange, ExceptionReplyPassesWithItsCrc) {
    receive(fromHex("00 01 00 00 00 03 01 84 02"));
    EXPECT_EQ(toHex(readAll(codec)), toHex(replyFrom("01 84 02")));
}

} // namespace

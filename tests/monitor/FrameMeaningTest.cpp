// What the monitor says a frame means, as a table over every request the tool sends, the replies
// to them and the exception replies.
#include "monitor/FrameMeaning.h"
#include "link/ModbusException.h"
#include "support/FrameHex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace climate::link;

namespace {

using climate::link::exceptionName;
using climate::monitor::describeReply;
using climate::monitor::describeRequest;
using climate::monitor::ReplyMeaning;
using Bytes = std::vector<std::uint8_t>;
using Form = ReplyMeaning::Form;

struct RequestCase {
    const char* hex; // without CRC unless `raw`
    const char* meaning;
    bool raw = false;
};

TEST(FrameMeaning, EveryRequestOfTheTool) {
    const std::vector<RequestCase> cases{
        {"01 01 00 00 00 10", "addr 1 fn 1 read coils 0–15 (16) (status coils)"},
        {"01 02 00 00 00 12", "addr 1 fn 2 read discrete inputs 0–17 (18) (alarm inputs)"},
        {"01 03 00 29 00 03", "addr 1 fn 3 read holding registers 41–43 (3) (compressor settings)"},
        {"01 04 00 00 00 0E", "addr 1 fn 4 read input registers 0–13 (14) (measurements)"},
        {"01 03 00 00 00 2F", "addr 1 fn 3 read holding registers 0–46 (47) (all parameters)"},
        {"01 04 00 0F 00 0C", "addr 1 fn 4 read input registers 15–26 (12) (firmware version)"},
        {"01 03 00 00 00 0B", "addr 1 fn 3 read holding registers 0–10 (11) (internal fan curve)"},
        {"01 03 00 0B 00 0B", "addr 1 fn 3 read holding registers 11–21 (11) (external fan curve)"},
        {"01 04 00 00 00 01", "addr 1 fn 4 read input registers 0 (1)"},
        {"01 05 00 0C FF 00", "addr 1 fn 5 write coil 12 = ON (forced output)"},
        {"01 05 00 0C 00 00", "addr 1 fn 5 write coil 12 = OFF (forced output)"},
        {"01 05 00 0C 12 34",
         "addr 1 fn 5 write coil 12 = 0x1234 (neither ON nor OFF) (forced output)"},
        {"01 06 00 1E FF CE", "addr 1 fn 6 write register 30 = 65486 (-50) (debug temperature)"},
        {"07 10 00 1B 00 01 02 00 09", "addr 7 fn 16 write registers 27 (1): 9"},
        {"01 10 00 1C 00 02 04 02 26 FF CE",
         "addr 1 fn 16 write registers 28–29 (2): 550, 65486 (-50)"},
        {"01 03 00 29 00 03 00 00",
         "addr 1 fn 3 read holding registers 41–43 (3) (compressor settings), bad CRC", true},
        {"01 10 00 1C 00 02 04 02", "addr 1 fn 16, cut short (8 bytes)", true},
        {"01", "too short for a request (1 bytes)", true},
    };
    for (const RequestCase& c : cases) {
        const Bytes frame = c.raw ? fromHex(c.hex) : withCrc(fromHex(c.hex));
        EXPECT_EQ(describeRequest(frame).toStdString(), c.meaning) << c.hex;
    }
}

struct ReplyCase {
    const char* request; // without CRC
    Bytes reply;
    Form form;
    bool crcGood;
    const char* meaning;
};

TEST(FrameMeaning, RepliesPartsAndExceptions) {
    const std::vector<ReplyCase> cases{
        {"01 01 00 00 00 10", replyFrom("01 01 02 13 80"), Form::Reply, true,
         "addr 1 fn 1 16 coils 0–15: on: 0, 1, 4, 15"},
        {"01 02 00 00 00 12", replyFrom("01 02 03 00 00 00"), Form::Reply, true,
         "addr 1 fn 2 18 discrete inputs 0–17: all off"},
        {"01 03 00 29 00 03", replyFrom("01 03 06 01 2C 00 32 11 94"), Form::Reply, true,
         "addr 1 fn 3 3 holding registers 41–43: 300, 50, 4500"},
        {"01 04 00 04 00 01", replyFrom("01 04 02 FF CE"), Form::Reply, true,
         "addr 1 fn 4 input register 4: 65486 (-50)"},
        {"01 05 00 0C FF 00", replyFrom("01 05 00 0C FF 00"), Form::Reply, true,
         "addr 1 fn 5 coil 12 set ON"},
        {"01 06 00 1E 04 4C", replyFrom("01 06 00 1E 04 4C"), Form::Reply, true,
         "addr 1 fn 6 register 30 set 1100"},
        {"01 10 00 00 00 0B", replyFrom("01 10 00 00 00 0B"), Form::Reply, true,
         "addr 1 fn 16 registers 0–10 written (11)"},
        // Split replies: the first chunk only says how far it got.
        {"01 04 00 00 00 0E", fromHex("01 04 1C 00"), Form::Partial, false,
         "partial reply (4 of 33 bytes)"},
        {"01 10 00 00 00 0B", fromHex("01 10 00"), Form::Partial, false,
         "partial reply (3 of 8 bytes)"},
        {"01 03 00 29 00 03", fromHex("01 03"), Form::Partial, false, "partial reply (2 bytes)"},
        {"01 03 00 29 00 03", fromHex("01"), Form::Partial, false, "partial reply (1 byte)"},
        // Exceptions, with the code's name.
        {"07 10 00 1B 00 01", replyFrom("07 90 03"), Form::Exception, true,
         "addr 7 exception 3 (illegal data value) to fn 16"},
        {"01 03 00 29 00 03", replyFrom("01 83 02"), Form::Exception, true,
         "addr 1 exception 2 (illegal data address) to fn 3"},
        {"01 03 00 29 00 03", replyFrom("01 83 20"), Form::Exception, true,
         "addr 1 exception 32 (unknown exception) to fn 3"},
        {"01 04 00 00 00 01", fromHex("01 84 01"), Form::Partial, false,
         "partial exception reply (3 of 5 bytes)"},
        {"01 03 00 29 00 03", fromHex("01 83 02 00 00"), Form::Exception, false,
         "addr 1 exception 2 (illegal data address) to fn 3, bad CRC"},
        // Faults the engine judges.
        {"01 03 00 29 00 03", fromHex("01 03 06 01 2C 00 32 11 94 00 00"), Form::Reply, false,
         "addr 1 fn 3 3 holding registers 41–43: 300, 50, 4500, bad CRC"},
        {"01 03 00 29 00 03", replyFrom("01 04 02 00 01"), Form::Unrecognised, false,
         "addr 1 fn 4, not a reply to fn 3"},
        {"01 03 00 29 00 03", replyFrom("02 03 06 01 2C 00 32 11 94"), Form::Reply, true,
         "addr 2 fn 3 3 holding registers 41–43: 300, 50, 4500 (asked addr 1)"},
    };
    for (const ReplyCase& c : cases) {
        const Bytes request = withCrc(fromHex(c.request));
        const ReplyMeaning meaning = describeReply(request, c.reply);
        EXPECT_EQ(meaning.text.toStdString(), c.meaning) << toHex(c.reply);
        EXPECT_EQ(meaning.otherAddress, c.reply[0] != request[0]) << toHex(c.reply);
        EXPECT_EQ(meaning.form, c.form) << toHex(c.reply);
        EXPECT_EQ(meaning.crcGood, c.crcGood) << toHex(c.reply);
    }
}

TEST(FrameMeaning, BytesBeyondTheFrameAreCountedNotDecoded) {
    Bytes reply = replyFrom("01 06 00 1E 04 4C");
    reply.push_back(0xFF);
    reply.push_back(0x00);
    const ReplyMeaning meaning = describeReply(withCrc(fromHex("01 06 00 1E 04 4C")), reply);
    EXPECT_EQ(meaning.form, Form::Reply);
    EXPECT_TRUE(meaning.crcGood);
    EXPECT_EQ(meaning.expectedLength, 8u);
    EXPECT_EQ(meaning.text.toStdString(), "addr 1 fn 6 register 30 set 1100, 2 bytes more");
}

TEST(FrameMeaning, ExceptionCodesByName) {
    const std::vector<std::pair<std::uint8_t, const char*>> names{
        {1, "illegal function"},
        {2, "illegal data address"},
        {3, "illegal data value"},
        {4, "server device failure"},
        {5, "acknowledge"},
        {6, "server device busy"},
        {7, "unknown exception"},
        {8, "memory parity error"},
        {10, "gateway path unavailable"},
        {11, "gateway target device failed to respond"},
        {0, "unknown exception"},
    };
    for (const auto& [code, name] : names) {
        EXPECT_EQ(exceptionName(code).toStdString(), name) << int(code);
    }
    const ReplyMeaning meaning =
        describeReply(withCrc(fromHex("01 04 00 00 00 01")), replyFrom("01 84 06"));
    EXPECT_EQ(meaning.exceptionCode, 6);
}

} // namespace

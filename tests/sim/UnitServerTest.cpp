#include "UnitServer.h"
#include "FrameHex.h"
#include "UnitModel.h"
#include "UnitRegisters.h"

#include <gtest/gtest.h>

namespace sim {
namespace {

using test::frame;
using test::fromHex;
using test::toHex;

class UnitServerTest : public testing::Test {
protected:
    // The single reply, sent at once and unsplit; empty when the unit stays quiet.
    std::vector<std::uint8_t> ask(const std::vector<std::uint8_t>& request) {
        const auto chunks = server.serve(request);
        if (chunks.empty())
            return {};
        EXPECT_EQ(chunks.size(), 1U);
        EXPECT_EQ(chunks.front().delay.count(), 0);
        return chunks.front().bytes;
    }

    UnitModel model;
    FaultPlan faults;
    UnitServer server{model, faults};
};

struct ToolRequest {
    const char* name;
    const char* request; // CRC included, as the tool sends it
    std::size_t replyLength;
};

class UnitServerToolRequests : public UnitServerTest,
                               public testing::WithParamInterface<ToolRequest> {};

// Every fixed request of the tool gets a well-formed reply of exactly the length it waits for.
TEST_P(UnitServerToolRequests, AnswerWithTheLengthTheToolExpects) {
    const ToolRequest& c = GetParam();
    const auto request = fromHex(c.request);
    ASSERT_TRUE(hasValidCrc(request));
    const auto reply = ask(request);
    ASSERT_EQ(reply.size(), c.replyLength) << toHex(reply);
    EXPECT_EQ(reply[0], request[0]);
    EXPECT_EQ(reply[1], request[1]);
    EXPECT_TRUE(hasValidCrc(reply));
    if (request[1] == 5 || request[1] == 6) {
        EXPECT_EQ(reply, request); // a plain echo
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnitServerToolRequests,
    testing::Values(ToolRequest{"StatusCoils", "01 01 00 00 00 10 3D C6", 7},
                    ToolRequest{"AlarmInputs", "01 02 00 00 00 12 F8 07", 8},
                    ToolRequest{"CompressorSettings", "01 03 00 29 00 03 D4 03", 11},
                    ToolRequest{"Measurements", "01 04 00 00 00 0E 71 CE", 33},
                    ToolRequest{"ReadAll", "01 03 00 00 00 2F 04 16", 99},
                    ToolRequest{"FirmwareVersion", "01 04 00 0F 00 0C C0 0C", 29},
                    ToolRequest{"DrawIntfan", "01 03 00 00 00 0B 04 0D", 27},
                    ToolRequest{"DrawExtfan", "01 03 00 0B 00 0B 75 CF", 27},
                    ToolRequest{"DebugTemperature", "01 06 00 1E 00 FA 69 8F", 8},
                    ToolRequest{"DebugTemperatureOff", "01 06 00 1E 04 4C EA F9", 8},
                    ToolRequest{"DebugTemperatureMinus40", "01 06 00 1E FE 70 A8 48", 8},
                    ToolRequest{"ForceOn", "01 05 00 0C FF 00 4C 39", 8},
                    ToolRequest{"ForceOff", "01 05 00 0C 00 00 0D C9", 8}),
    [](const testing::TestParamInfo<ToolRequest>& testCase) { return testCase.param.name; });

TEST_F(UnitServerTest, RepliesCarryTheModelsValues) {
    model.setRunning(false);
    EXPECT_EQ(toHex(ask(frame("01 03 00 00 00 0B"))),
              toHex(frame("01 03 16 00 C8 09 C4 03 E8 00 32 01 5E 00 FA 00 C8 00 1E 00 02 00 01 "
                          "00 01")));
    // "DCAC-HEX V1.00", zero padded.
    EXPECT_EQ(toHex(ask(frame("01 04 00 0F 00 0C"))),
              toHex(frame("01 04 18 44 43 41 43 2D 48 45 58 20 56 31 2E 30 30 00 00 00 00 00 00 "
                          "00 00 00 00")));
    // All four fans turn at the start; nothing else is on.
    EXPECT_EQ(toHex(ask(frame("01 01 00 00 00 10"))), toHex(frame("01 01 02 0F 00")));
    model.pin(RegisterTable::DiscreteInput, 17, 1);
    EXPECT_EQ(toHex(ask(frame("01 02 00 00 00 12"))), toHex(frame("01 02 03 00 00 02")));
    model.pin(RegisterTable::InputRegister, reg::Temperature1, 0xFF9C);
    EXPECT_EQ(toHex(ask(frame("01 04 00 04 00 01"))), toHex(frame("01 04 02 FF 9C")));
}

TEST_F(UnitServerTest, WritesReachTheModel) {
    EXPECT_EQ(toHex(ask(frame("01 06 00 1F 12 34"))), toHex(frame("01 06 00 1F 12 34")));
    EXPECT_EQ(model.value(RegisterTable::HoldingRegister, 31), 0x1234);

    EXPECT_EQ(toHex(ask(frame("01 10 00 29 00 03 06 01 2C 00 32 0F A0"))),
              toHex(frame("01 10 00 29 00 03")));
    EXPECT_EQ(model.value(RegisterTable::HoldingRegister, 41), 300);
    EXPECT_EQ(model.value(RegisterTable::HoldingRegister, 42), 50);
    EXPECT_EQ(model.value(RegisterTable::HoldingRegister, 43), 4000);

    ask(frame("01 06 00 1E 00 FA"));
    EXPECT_EQ(model.value(RegisterTable::InputRegister, reg::Temperature1), 250);
    ask(frame("01 05 00 0C FF 00"));
    EXPECT_EQ(model.value(RegisterTable::Coil, reg::ForcedOutput), 1);
    EXPECT_EQ(model.value(RegisterTable::InputRegister, reg::ForceOutputStatus), 1);
}

struct Refusal {
    const char* name;
    const char* request; // without CRC
    const char* reply;   // without CRC
};

class UnitServerRefusals : public UnitServerTest, public testing::WithParamInterface<Refusal> {};

TEST_P(UnitServerRefusals, AnswerWithTheModbusException) {
    const Refusal& c = GetParam();
    const auto holdingBefore = model.value(RegisterTable::HoldingRegister, 27);
    EXPECT_EQ(toHex(ask(frame(c.request))), toHex(frame(c.reply)));
    EXPECT_EQ(model.value(RegisterTable::HoldingRegister, 27), holdingBefore);
    EXPECT_EQ(model.address(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnitServerRefusals,
    testing::Values(Refusal{"HoldingBeyondTheMap", "01 03 00 28 00 0A", "01 83 02"},
                    Refusal{"InputBeyondTheMap", "01 04 00 1B 00 01", "01 84 02"},
                    Refusal{"CoilBeyondTheMap", "01 01 00 10 00 01", "01 81 02"},
                    Refusal{"InputBitBeyondTheMap", "01 02 00 00 00 13", "01 82 02"},
                    Refusal{"ZeroQuantity", "01 03 00 00 00 00", "01 83 03"},
                    Refusal{"WriteMultipleCoilsIsNotServed", "01 0F 00 00 00 01 01 01", "01 8F 01"},
                    Refusal{"UnknownFunction", "01 11", "01 91 01"},
                    Refusal{"BadCoilValue", "01 05 00 0C 12 34", "01 85 03"},
                    Refusal{"ByteCountMismatch", "01 10 00 00 00 02 02 00 01", "01 90 03"},
                    Refusal{"WriteBeyondTheMap", "01 06 00 2F 00 01", "01 86 02"},
                    Refusal{"AddressZero", "01 10 00 1B 00 01 02 00 00", "01 90 03"},
                    Refusal{"Address256", "01 06 00 1B 01 00", "01 86 03"},
                    Refusal{"AddressInsideAGroup", "01 10 00 1A 00 02 04 00 01 00 00", "01 90 03"}),
    [](const testing::TestParamInfo<Refusal>& testCase) { return testCase.param.name; });

TEST_F(UnitServerTest, AddressWriteIsAnsweredFromTheOldAddressThenTheUnitMoves) {
    EXPECT_EQ(toHex(ask(frame("01 10 00 1B 00 01 02 00 05"))), toHex(frame("01 10 00 1B 00 01")));
    EXPECT_EQ(model.address(), 5);
    EXPECT_TRUE(ask(frame("01 03 00 1B 00 01")).empty());
    EXPECT_EQ(toHex(ask(frame("05 03 00 1B 00 01"))), toHex(frame("05 03 02 00 05")));

    EXPECT_EQ(toHex(ask(frame("05 06 00 1B 00 FF"))), toHex(frame("05 06 00 1B 00 FF")));
    EXPECT_EQ(model.address(), 255);
    EXPECT_FALSE(ask(frame("FF 03 00 00 00 01")).empty());
}

TEST_F(UnitServerTest, OtherSlavesAndBroadcastsGetNoAnswerAndChangeNothing) {
    EXPECT_TRUE(ask(frame("02 03 00 00 00 01")).empty());
    EXPECT_TRUE(ask(frame("00 06 00 1F 00 07")).empty());
    EXPECT_TRUE(ask(frame("02 06 00 1F 00 07")).empty());
    EXPECT_EQ(model.value(RegisterTable::HoldingRegister, 31), 0);
    EXPECT_EQ(server.stats().ignored, 3);
    EXPECT_EQ(server.stats().requests, 0);
}

TEST_F(UnitServerTest, SilentUnitNeitherAnswersNorCarriesOutRequests) {
    faults.setSilent(true);
    EXPECT_TRUE(ask(frame("01 06 00 1F 00 07")).empty());
    EXPECT_EQ(model.value(RegisterTable::HoldingRegister, 31), 0);
    EXPECT_EQ(server.stats().silenced, 1);
    faults.setSilent(false);
    EXPECT_FALSE(ask(frame("01 06 00 1F 00 07")).empty());
    EXPECT_EQ(model.value(RegisterTable::HoldingRegister, 31), 7);
}

TEST_F(UnitServerTest, ArmedExceptionReplacesOneReplyAndSkipsItsWrite) {
    faults.armException(4);
    EXPECT_EQ(toHex(ask(frame("01 06 00 1F 00 07"))), toHex(frame("01 86 04")));
    EXPECT_EQ(model.value(RegisterTable::HoldingRegister, 31), 0);
    EXPECT_EQ(toHex(ask(frame("01 06 00 1F 00 07"))), toHex(frame("01 06 00 1F 00 07")));
    EXPECT_EQ(server.stats().exceptions, 1);
}

TEST_F(UnitServerTest, DebugReplyChangesTheEchoButNotTheStoredValue) {
    faults.setDebugReply(1100);
    EXPECT_EQ(toHex(ask(frame("01 06 00 1E 00 FA"))), toHex(frame("01 06 00 1E 04 4C")));
    EXPECT_EQ(model.value(RegisterTable::HoldingRegister, reg::DebugTemperature), 250);
    EXPECT_EQ(model.value(RegisterTable::InputRegister, reg::Temperature1), 250);
    // Other registers are echoed plainly.
    EXPECT_EQ(toHex(ask(frame("01 06 00 1F 00 FA"))), toHex(frame("01 06 00 1F 00 FA")));
}

TEST_F(UnitServerTest, FaultsApplyToTheReplyFromTheAddressItCameFrom) {
    model.write(RegisterTable::HoldingRegister, reg::Address, 7);
    faults.armWrongAddress(std::nullopt);
    EXPECT_EQ(toHex(ask(frame("07 03 00 1B 00 01"))), toHex(frame("08 03 02 00 07")));
    faults.setDelay(std::chrono::milliseconds(250));
    const auto chunks = server.serve(frame("07 03 00 1B 00 01"));
    ASSERT_EQ(chunks.size(), 1U);
    EXPECT_EQ(chunks.front().delay.count(), 250);
    EXPECT_EQ(toHex(chunks.front().bytes), toHex(frame("07 03 02 00 07")));
}

TEST_F(UnitServerTest, StatsCountRequestsPerFunction) {
    ask(frame("01 03 00 00 00 01"));
    ask(frame("01 03 00 00 00 01"));
    ask(frame("01 04 00 00 00 01"));
    ask(frame("01 10 00 1F 00 01 02 00 01"));
    ask(frame("01 11"));
    ask(frame("09 03 00 00 00 01"));
    const RequestStats& stats = server.stats();
    EXPECT_EQ(stats.requests, 5);
    EXPECT_EQ(stats.replies, 5);
    EXPECT_EQ(stats.exceptions, 1);
    EXPECT_EQ(stats.ignored, 1);
    EXPECT_EQ(stats.format(), "requests=5 fc1=0 fc2=0 fc3=2 fc4=1 fc5=0 fc6=0 fc16=1 other=1 "
                              "ignored=1 silenced=0 exceptions=1 replies=5 skipped=0");
}

} // namespace
} // namespace sim

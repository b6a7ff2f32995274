#include "link/ModbusFrame.h"
#include "link/ModbusCrc.h"
#include "support/FrameHex.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include <array>
#include <random>
#include <string>
#include <vector>

using namespace climate::link;

namespace {

// The CRC register as the Modbus over Serial Line standard computes it bit by bit; the tool's
// two-table result must equal it with the bytes swapped (low byte first on the wire).
std::uint16_t bitwiseCrcRegister(const std::vector<std::uint8_t>& bytes) {
    std::uint16_t crc = 0xFFFF;
    for (const std::uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
        }
    }
    return crc;
}

TEST(ModbusCrc16, KnownFrameGivesCrcBytes840A) {
    const auto bytes = fromHex("01 03 00 00 00 01");
    EXPECT_EQ(ModbusCrc16(bytes), 0x840A);
}

TEST(ModbusCrc16, EmptyInputGivesFFFF) {
    EXPECT_EQ(ModbusCrc16(std::span<const std::uint8_t>{}), 0xFFFF);
}

TEST(ModbusCrc16, TableMethodMatchesBitwiseRegisterOnEveryByteAndRandomFrames) {
    for (int value = 0; value < 256; ++value) {
        const std::vector<std::uint8_t> single{static_cast<std::uint8_t>(value)};
        const std::uint16_t reg = bitwiseCrcRegister(single);
        ASSERT_EQ(ModbusCrc16(single), static_cast<std::uint16_t>((reg & 0xFF) << 8 | reg >> 8))
            << "byte " << value;
    }
    std::mt19937 random(7);
    for (int length = 1; length <= 300; length += 13) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
        for (auto& byte : bytes) {
            byte = static_cast<std::uint8_t>(random());
        }
        const std::uint16_t reg = bitwiseCrcRegister(bytes);
        ASSERT_EQ(ModbusCrc16(bytes), static_cast<std::uint16_t>((reg & 0xFF) << 8 | reg >> 8))
            << toHex(bytes);
    }
}

TEST(ModbusCrc16, FrameWithItsCrcAppendedChecksToZeroRegister) {
    // Running the CRC over a frame including its own CRC (low byte first) leaves register 0.
    const auto frame = replyFrom("01 04 1C 00 01 02 03");
    EXPECT_EQ(ModbusCrc16(frame), 0x0000);
}

struct FixedRequest {
    const char* name;
    RequestShape shape;
    const char* bytes;
};

class FixedRequests : public testing::TestWithParam<FixedRequest> {};

TEST_P(FixedRequests, AreBuiltToTheByteForAddress1) {
    const FixedRequest& request = GetParam();
    const ModbusFrame frame = buildReadRequest(1, request.shape);
    EXPECT_EQ(toHex(frame.view()), request.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Link, FixedRequests,
    testing::Values(
        FixedRequest{"PollCoils", Requests::PollCoils, "01 01 00 00 00 10 3D C6"},
        FixedRequest{"PollAlarmInputs", Requests::PollAlarmInputs, "01 02 00 00 00 12 F8 07"},
        FixedRequest{"PollCompressorSettings", Requests::PollCompressorSettings,
                     "01 03 00 29 00 03 D4 03"},
        FixedRequest{"PollMeasurements", Requests::PollMeasurements, "01 04 00 00 00 0E 71 CE"},
        FixedRequest{"ReadAll", Requests::ReadAll, "01 03 00 00 00 2F 04 16"},
        FixedRequest{"ReadFirmwareVersion", Requests::ReadFirmwareVersion,
                     "01 04 00 0F 00 0C C0 0C"},
        FixedRequest{"DrawIntfan", Requests::DrawIntfan, "01 03 00 00 00 0B 04 0D"},
        FixedRequest{"DrawExtfan", Requests::DrawExtfan, "01 03 00 0B 00 0B 75 CF"}),
    [](const testing::TestParamInfo<FixedRequest>& testCase) {
        return std::string(testCase.param.name);
    });

TEST(FixedRequestShapes, ReplyLengthsFollowTheReplyLayouts) {
    // Functions 1 and 2: 5 + bytes of bits; functions 3 and 4: 5 + 2 per register.
    for (const RequestShape& bits : {Requests::PollCoils, Requests::PollAlarmInputs}) {
        EXPECT_EQ(bits.replyLength, 5u + (bits.quantity + 7u) / 8u) << int(bits.function);
    }
    for (const RequestShape& words :
         {Requests::PollCompressorSettings, Requests::PollMeasurements, Requests::ReadAll,
          Requests::ReadFirmwareVersion, Requests::DrawIntfan, Requests::DrawExtfan}) {
        EXPECT_EQ(words.replyLength, 5u + 2u * words.quantity) << words.first;
    }
    EXPECT_EQ(Requests::DebugTemperature.replyLength, 8u);
    EXPECT_EQ(Requests::ForcedOutput.replyLength, 8u);
}

TEST(ReadRequest, CarriesTheSlaveAddress) {
    const ModbusFrame frame = buildReadRequest(0xF7, Requests::PollCoils);
    EXPECT_EQ(toHex(frame.view()), toHex(withCrc(fromHex("F7 01 00 00 00 10"))));
}

TEST(WriteSingle, CoilAndRegisterLayouts) {
    EXPECT_EQ(toHex(buildWriteSingle(1, 5, 12, 0xFF00).view()),
              toHex(withCrc(fromHex("01 05 00 0C FF 00"))));
    EXPECT_EQ(toHex(buildWriteSingle(1, 6, 30, 0xFFE2).view()),
              toHex(withCrc(fromHex("01 06 00 1E FF E2"))));
    // A known frame from the Modbus over Serial Line standard's examples.
    EXPECT_EQ(toHex(buildWriteSingle(1, 6, 1, 3).view()), "01 06 00 01 00 03 98 0B");
}

TEST(WriteMultiple, LengthByteCountAndWordsHighByteFirst) {
    const std::array<std::uint16_t, 3> words{0x00FA, 0x1234, 0xFFFF};
    const ModbusFrame frame = buildWriteMultiple(1, 41, words);
    EXPECT_EQ(frame.length, 9u + 2u * words.size());
    EXPECT_EQ(toHex(frame.view()),
              toHex(withCrc(fromHex("01 10 00 29 00 03 06 00 FA 12 34 FF FF"))));
}

TEST(WriteMultiple, LongestRequestOfTheToolIs31Bytes) {
    const std::array<std::uint16_t, 11> words{};
    EXPECT_EQ(buildWriteMultiple(1, 0, words).length, 31u);
    EXPECT_EQ(buildWriteMultiple(1, 27, std::span(words).first(1)).length, 11u);
}

TEST(WriteMultiple, MoreWordsThanTheFrameHoldsIsALogicErrorInEveryBuild) {
    const std::array<std::uint16_t, 34> words{};
    EXPECT_NO_THROW((void)buildWriteMultiple(1, 0, std::span(words).first(33)));
    EXPECT_THROW((void)buildWriteMultiple(1, 0, words), std::logic_error);
}

} // namespace

#include "Replies.h"

#include "link/NumberText.h"
#include "realtime/LiveData.h"
#include "realtime/LiveDataDecoding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace climate::link;
using namespace climate::realtime;

namespace {

// An accepted reply as the engine hands it to a poll step.
std::span<const std::uint8_t> collected(const std::vector<std::uint8_t>& reply) {
    return reply;
}

TEST(MeasurementsDecoding, TypicalSetLandsInItsFields) {
    LiveData live;
    decodeMeasurements(collected(measurementsReply(typicalMeasurements())), live);

    LiveData expected;
    expected.InternalFan1Rev = 1200;
    expected.InternalFan2Rev = 1300;
    expected.ExternalFan1Rev = 2400;
    expected.ExternalFan2Rev = 2500;
    expected.Temperature1 = 25.3;
    expected.Temperature2 = -5.5;
    expected.SupplyVoltage = 48.2;
    expected.CompressorRev = 3100;
    expected.CompressorCurrent = 12.5;
    expected.HeaterCurrent = 4.4;
    expected.ForceOutputStatus = 1;
    expected.Temperature3 = 30.1;
    EXPECT_EQ(live, expected);
}

TEST(MeasurementsDecoding, EdgeWords) {
    struct Case {
        const char* what;
        std::size_t reg;
        std::uint16_t word;
        double LiveData::*field;
        double expected;
    };
    const Case cases[] = {
        {"negative temperature", 4, 0xFF9C, &LiveData::Temperature1, -10.0},
        {"smallest negative tenth", 5, 0xFFFF, &LiveData::Temperature2, -0.1},
        {"most negative word", 13, 0x8000, &LiveData::Temperature3, -3276.8},
        {"largest positive word", 6, 0x7FFF, &LiveData::SupplyVoltage, 3276.7},
        {"negative current", 8, 0xFFFD, &LiveData::CompressorCurrent, -0.3},
        {"heater current, register 10 not 9", 10, 0x0064, &LiveData::HeaterCurrent, 10.0},
    };
    for (const Case& c : cases) {
        std::array<std::uint16_t, 14> registers{};
        registers[c.reg] = c.word;
        LiveData live;
        decodeMeasurements(collected(measurementsReply(registers)), live);
        EXPECT_EQ(live.*(c.field), c.expected) << c.what;
    }
}

TEST(MeasurementsDecoding, SpeedsAreUnsignedButCompressorSpeedIsSigned) {
    std::array<std::uint16_t, 14> registers{};
    registers[0] = 0xFFFF;
    registers[3] = 0x8000;
    registers[7] = 0xFFFF;
    LiveData live;
    decodeMeasurements(collected(measurementsReply(registers)), live);
    EXPECT_EQ(live.InternalFan1Rev, 65535u);
    EXPECT_EQ(live.ExternalFan2Rev, 32768u);
    EXPECT_EQ(live.CompressorRev, -1);
}

TEST(MeasurementsDecoding, ForceStatusIsTheLowByteOfRegister11) {
    for (auto [word, status] :
         {std::pair<std::uint16_t, int>{0x0301, 1}, {0x0100, 0}, {0x0002, 2}, {0xFF01, 1}}) {
        std::array<std::uint16_t, 14> registers{};
        registers[11] = word;
        LiveData live;
        decodeMeasurements(collected(measurementsReply(registers)), live);
        EXPECT_EQ(live.ForceOutputStatus, status) << std::hex << word;
    }
}

TEST(MeasurementsDecoding, UnusedRegistersChangeNothingAndOtherFieldsAreKept) {
    std::array<std::uint16_t, 14> registers{};
    registers[9] = 0x1234;
    registers[12] = 0x5678;
    LiveData live;
    live.CompressorSetTemp = 7.5;
    live.HighPressureAlarm = 1;
    live.ForcedOutput = 1;
    LiveData expected = live;
    decodeMeasurements(collected(measurementsReply(registers)), live);
    EXPECT_EQ(live, expected);
}

// Every word in tenths shows as the short text of its tenths value: the scaling must not leave
// binary noise (3 * 0.1 in double precision is 0.30000000000000004).
TEST(SignedTenths, EveryWordGivesItsShortDecimalText) {
    for (int raw = -32768; raw <= 32767; ++raw) {
        const double value = signedTenths(static_cast<std::uint16_t>(raw));
        const std::string text = formatGeneral(value);
        const std::size_t dot = text.find('.');
        ASSERT_TRUE(dot == std::string::npos || text.size() - dot == 2) << raw << " -> " << text;
        ASSERT_EQ(value, raw / 10.0) << raw;
    }
}

TEST(CompressorSettingsDecoding, TwoSignedTenthsAndRegister43Ignored) {
    LiveData live;
    decodeCompressorSettings(collected(registersReply(3, {255, 0xFFE2, 0x7777})), live);
    EXPECT_EQ(live.CompressorSetTemp, 25.5);
    EXPECT_EQ(live.CompressorDeltTemp, -3.0);
    LiveData expected;
    expected.CompressorSetTemp = 25.5;
    expected.CompressorDeltTemp = -3.0;
    EXPECT_EQ(live, expected);
}

// Each coil or input bit sets exactly one field, or none for the unused ones.
struct BitCase {
    int bit;
    std::uint8_t LiveData::*field; // null: the bit is not used
};

void expectOneFieldPerBit(const std::vector<BitCase>& cases, int bitCount,
                          void (*decode)(std::span<const std::uint8_t>, LiveData&),
                          std::uint8_t function) {
    for (const BitCase& c : cases) {
        std::vector<std::uint8_t> data((bitCount + 7) / 8, 0);
        data[c.bit / 8] = static_cast<std::uint8_t>(1 << (c.bit % 8));
        std::vector<std::uint8_t> reply{1, function, static_cast<std::uint8_t>(data.size())};
        reply.insert(reply.end(), data.begin(), data.end());
        LiveData live;
        decode(collected(reply), live);
        LiveData expected;
        if (c.field != nullptr) {
            expected.*(c.field) = 1;
        }
        EXPECT_EQ(live, expected) << "bit " << c.bit;
    }
}

TEST(StatusCoilsDecoding, EachCoilSetsItsField) {
    expectOneFieldPerBit({{0, &LiveData::IntFan1Status},
                          {1, &LiveData::IntFan2Status},
                          {2, &LiveData::ExtFan1Status},
                          {3, &LiveData::ExtFan2Status},
                          {4, &LiveData::CompressorOn},
                          {5, &LiveData::HeaterOn},
                          {6, nullptr},
                          {7, nullptr},
                          {8, nullptr},
                          {11, nullptr},
                          {12, &LiveData::ForcedOutput},
                          {13, nullptr},
                          {15, nullptr}},
                         16, decodeStatusCoils, 1);
}

TEST(StatusCoilsDecoding, CoilByte0x30SetsCompressorAndHeaterOn) {
    LiveData live;
    live.IntFan1Status = 1; // cleared again: every coil is stored on every reply
    decodeStatusCoils(collected(coilsReply(0x30, 0x00)), live);
    LiveData expected;
    expected.CompressorOn = 1;
    expected.HeaterOn = 1;
    EXPECT_EQ(live, expected);
}

TEST(AlarmInputsDecoding, EachInputSetsItsFieldAndInputs6_8_9NoField) {
    expectOneFieldPerBit({{0, &LiveData::IntFan1Alarm},
                          {1, &LiveData::IntFan2Alarm},
                          {2, &LiveData::ExtFan1Alarm},
                          {3, &LiveData::ExtFan2Alarm},
                          {4, &LiveData::CompressorAlarm1},
                          {5, &LiveData::CompressorAlarm2},
                          {6, nullptr},
                          {7, &LiveData::HeaterAlarm},
                          {8, nullptr},
                          {9, nullptr},
                          {10, &LiveData::TempSensor1Alarm},
                          {11, &LiveData::TempSensor2Alarm},
                          {12, &LiveData::VoltageAlarm1},
                          {13, &LiveData::VoltageAlarm2},
                          {14, &LiveData::HighTempAlarm},
                          {15, &LiveData::LowTempAlarm},
                          {16, &LiveData::HighPressureAlarm},
                          {17, &LiveData::LowPressureAlarm}},
                         18, decodeAlarmInputs, 2);
}

} // namespace

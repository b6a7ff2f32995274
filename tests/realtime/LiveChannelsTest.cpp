#include "Replies.h"

#include "link/ModbusFrame.h"
#include "realtime/LiveChannels.h"
#include "realtime/PollCircle.h"
#include "realtime/TestLogSink.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

using namespace climate::link;
using namespace climate::realtime;

namespace {

// The reply of `group`'s read with a single word (register) or bit (coil, input) set at
// `address`: 0x0101 in a register, 1 in a bit.
std::vector<std::uint8_t> replyWithOnly(LiveGroup group, std::uint16_t address) {
    const RequestShape& shape = PollCircle.at(static_cast<std::size_t>(group)).shape();
    const std::size_t offset = address - shape.first;
    if (group == LiveGroup::StatusCoils || group == LiveGroup::AlarmInputs) {
        std::uint32_t bits = 1u << offset;
        if (group == LiveGroup::AlarmInputs) {
            return inputsReply(bits);
        }
        return coilsReply(static_cast<std::uint8_t>(bits & 0xFF),
                          static_cast<std::uint8_t>(bits >> 8));
    }
    std::vector<std::uint16_t> words(shape.quantity, 0);
    words.at(offset) = 0x0101;
    return registersReply(shape.function, words);
}

// A slip in the table (two rows on one field, a row on the wrong address or in the wrong group)
// shows as a word that reaches another channel, or none.
TEST(LiveChannels, AWordAtAChannelsAddressReachesThatChannelAlone) {
    for (const LiveChannel& channel : liveChannels()) {
        LiveData live;
        const std::vector<std::uint8_t> reply = replyWithOnly(channel.group, channel.address);
        PollCircle.at(static_cast<std::size_t>(channel.group)).decode(reply, live);
        for (const LiveChannel& other : liveChannels()) {
            if (&other == &channel) {
                EXPECT_NE(other.value(live), 0) << channel.field << " is not decoded";
            } else {
                EXPECT_EQ(other.value(live), 0)
                    << channel.field << "'s word reached " << other.field;
            }
        }
    }
}

TEST(LiveChannels, EveryNameFieldAndPlaceIsUsedOnce) {
    std::set<std::string> fields;
    std::set<std::string> titles;
    std::set<std::pair<LiveGroup, std::uint16_t>> places;
    for (const LiveChannel& channel : liveChannels()) {
        EXPECT_TRUE(fields.insert(channel.field).second) << channel.field;
        EXPECT_TRUE(titles.insert(channelTitle(channel)).second) << channelTitle(channel);
        EXPECT_TRUE(places.insert({channel.group, channel.address}).second) << channel.field;
        EXPECT_EQ(&liveChannel(channel.field), &channel);
    }
    EXPECT_THROW((void)liveChannel("Temperature4"), std::out_of_range);
}

TEST(LiveChannels, TitlesCarryTheUnitExceptForFlags) {
    const struct {
        const char* field;
        const char* title;
    } cases[] = {
        {"Temperature1", "Temperature 1 (°C)"},      {"InternalFan1Rev", "Internal fan 1 (RPM)"},
        {"SupplyVoltage", "Supply voltage (V)"},     {"HeaterCurrent", "Heater current (A)"},
        {"CompressorRev", "Compressor speed (RPM)"}, {"HeaterOn", "Heater on"},
        {"VoltageAlarm2", "Supply voltage alarm 2"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(channelTitle(liveChannel(c.field)), c.title);
    }
}

// Each alarm LED is lit by exactly the inputs the page's table names, and every alarm input
// lights one LED.
TEST(LiveChannels, AlarmLedsAndTheirInputs) {
    const struct {
        int led;
        std::set<std::uint16_t> inputs;
    } expected[] = {{5, {0}},   {7, {1}},   {8, {2}},   {9, {3}},   {16, {4, 5}},
                    {13, {14}}, {14, {15}}, {11, {10}}, {12, {11}}, {17, {12, 13}},
                    {6, {7}},   {10, {16}}, {15, {17}}};
    const auto leds = alarmLeds();
    ASSERT_EQ(leds.size(), std::size(expected));
    for (std::size_t i = 0; i < leds.size(); ++i) {
        EXPECT_EQ(leds[i].led, expected[i].led) << "the lit phase's order";
        std::set<std::uint16_t> inputs;
        for (const LiveChannel& channel : liveChannels()) {
            if (channel.alarmLed == leds[i].led) {
                EXPECT_EQ(channel.group, LiveGroup::AlarmInputs) << channel.field;
                inputs.insert(channel.address);
            }
        }
        EXPECT_EQ(inputs, expected[i].inputs) << "iLedRound" << leds[i].led;
        for (const std::uint16_t input : expected[i].inputs) {
            LiveData live;
            EXPECT_FALSE(alarmLit(leds[i], live));
            decodeAlarmInputs(inputsReply(1u << input), live);
            EXPECT_TRUE(alarmLit(leds[i], live)) << "input " << input;
        }
    }
}

// The log's columns C to I and K, left to right, with the page's values.
TEST(LiveChannels, TheTestLogKeepsItsEightColumns) {
    const auto logged = testLogChannels();
    const std::pair<const char*, int> expected[] = {{"InternalFan1Rev", 3}, {"InternalFan2Rev", 4},
                                                    {"ExternalFan1Rev", 5}, {"ExternalFan2Rev", 6},
                                                    {"Temperature1", 7},    {"Temperature2", 8},
                                                    {"CompressorRev", 9},   {"HeaterCurrent", 11}};
    ASSERT_EQ(logged.size(), std::size(expected));
    for (std::size_t i = 0; i < logged.size(); ++i) {
        EXPECT_STREQ(logged[i]->field, expected[i].first);
        EXPECT_EQ(logged[i]->logColumn, expected[i].second) << expected[i].first;
    }
    LiveData live;
    live.CompressorRev = -350;
    live.Temperature2 = -3.5;
    const TestLogRow row = testLogRow(live);
    EXPECT_EQ(row.value("CompressorRev"), 0) << "as the odometer shows it";
    EXPECT_EQ(row.value("Temperature2"), -3.5);
    EXPECT_THROW((void)row.value("SupplyVoltage"), std::out_of_range);
}

} // namespace

#include "UnitModel.h"
#include "FrameHex.h"
#include "UnitRegisters.h"
#include "UnitServer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace sim {
namespace {

using test::frame;

constexpr auto HR = RegisterTable::HoldingRegister;
constexpr auto IR = RegisterTable::InputRegister;
constexpr auto Coil = RegisterTable::Coil;
constexpr auto DI = RegisterTable::DiscreteInput;

int s16(std::uint16_t word) {
    return static_cast<std::int16_t>(word);
}

// ---- Defaults --------------------------------------------------------------------------------

TEST(UnitModelDefaults, FormAConsistentConfiguration) {
    const UnitModel model;
    const auto hr = [&model](int address) { return s16(model.value(HR, address)); };
    for (const int base : {reg::InternalFanGroup, reg::ExternalFanGroup}) {
        SCOPED_TRACE(base);
        EXPECT_GT(hr(base + reg::FanStepRev), 0);
        EXPECT_LT(hr(base + reg::FanMinRev), hr(base + reg::FanMaxRev));
        EXPECT_GT(hr(base + reg::FanStepTemp), 0);
        EXPECT_LT(hr(base + reg::FanMinTemp), hr(base + reg::FanMaxTemp));
        EXPECT_LT(hr(base + reg::FanStopTemp), hr(base + reg::FanMinTemp));
        EXPECT_GT(hr(base + reg::FanDeltTemp), 0);
        EXPECT_LE(hr(base + reg::FanStopTemp) + hr(base + reg::FanDeltTemp),
                  hr(base + reg::FanMinTemp));
        EXPECT_GE(hr(base + reg::FanPulseNumber), 1);
        EXPECT_LE(hr(base + reg::FanPulseNumber), 255);
    }
    EXPECT_EQ(hr(reg::InternalFanGroup + reg::FanMinRev), 1000);
    EXPECT_EQ(hr(reg::InternalFanGroup + reg::FanMaxRev), 2500);
    EXPECT_EQ(hr(reg::InternalFanGroup + reg::FanStepRev), 200);
    EXPECT_EQ(hr(reg::InternalFanGroup + reg::FanMinTemp), 250);
    EXPECT_EQ(hr(reg::InternalFanGroup + reg::FanMaxTemp), 350);

    for (const int onOff : {9, 10, 20, 21, 26, 37, 38}) {
        SCOPED_TRACE(onOff);
        EXPECT_TRUE(hr(onOff) == 0 || hr(onOff) == 1);
    }
    EXPECT_EQ(hr(reg::HeaterDeltTemp) % 10, 0);
    EXPECT_GT(hr(reg::HeaterDeltTemp), 0);
    EXPECT_LE(hr(reg::HeaterDeltTemp), 250);
    EXPECT_LE(hr(reg::HeaterMinCurrent), hr(reg::HeaterMaxCurrent));
    EXPECT_LT(hr(reg::LowTempLimit), hr(reg::HighTempLimit));
    EXPECT_GE(hr(reg::VoltageHighLimit), 500);
    EXPECT_LE(hr(reg::VoltageHighLimit), 700);
    EXPECT_GE(hr(reg::VoltageLowLimit), 240);
    EXPECT_LE(hr(reg::VoltageLowLimit), 470);
    EXPECT_GT(hr(reg::CompressorDeltTemp), 0);
    EXPECT_GT(hr(reg::CompressorMaxRpm), 0);
    EXPECT_EQ(hr(reg::Address), 1);
    EXPECT_EQ(model.address(), 1);
    EXPECT_EQ(hr(reg::DebugTemperature), reg::DebugTemperatureOff);
}

TEST(UnitModelDefaults, StartQuietAndWithinTheLimits) {
    const UnitModel model;
    const int temperature1 = s16(model.value(IR, reg::Temperature1));
    EXPECT_GT(temperature1, s16(model.value(HR, reg::LowTempLimit)));
    EXPECT_LT(temperature1, s16(model.value(HR, reg::HighTempLimit)));
    EXPECT_EQ(model.value(IR, reg::SupplyVoltage), 480);
    for (int input = 0; input < DiscreteInputCount; ++input) {
        EXPECT_EQ(model.value(DI, input), 0) << "discrete input " << input;
    }
    EXPECT_EQ(model.value(Coil, reg::ForcedOutput), 0);
    EXPECT_EQ(model.value(IR, reg::ForceOutputStatus), 0);
}

// The tool shows a tenths register as value * 0.1 in its general number format and sends the
// text back truncated after a single- or double-precision conversion. Defaults must survive that.
TEST(UnitModelDefaults, SurviveTheToolsTenthsTextRoundTrip) {
    const UnitModel model;
    const auto shown = [&model](int address) {
        char text[64];
        std::snprintf(text, sizeof text, "%.15Lg",
                      static_cast<long double>(s16(model.value(HR, address))) * 0.1L);
        return std::string(text);
    };
    for (const int address : {3, 4, 5, 6, 7, 14, 15, 16, 17, 18, 22, 24, 25, 33, 34, 35, 36}) {
        const float single = std::strtof(shown(address).c_str(), nullptr);
        EXPECT_EQ(static_cast<int>(std::trunc(static_cast<double>(single) * 10.0)),
                  s16(model.value(HR, address)))
            << "register " << address << " shown as " << shown(address);
    }
    for (const int address : {28, 29, 39, 40, 41, 42, 44, 45, 46}) {
        const double value = std::strtod(shown(address).c_str(), nullptr);
        EXPECT_EQ(static_cast<int>(std::trunc(static_cast<long double>(value) * 10.0L)),
                  s16(model.value(HR, address)))
            << "register " << address << " shown as " << shown(address);
    }
}

TEST(UnitModelDefaults, ReadingAndWritingBackGroupByGroupChangesNothing) {
    UnitModel model;
    FaultPlan faults;
    UnitServer server(model, faults);
    const auto readAll = [&server] {
        const auto chunks = server.serve(frame("01 03 00 00 00 2F"));
        EXPECT_EQ(chunks.size(), 1U);
        return chunks.empty() ? std::vector<std::uint8_t>() : chunks.front().bytes;
    };
    const std::vector<std::uint8_t> before = readAll();
    ASSERT_EQ(before.size(), 99U);
    const std::vector<std::uint16_t> inputsBefore = [&model] {
        std::vector<std::uint16_t> values;
        for (int i = 0; i < InputRegisterCount; ++i) {
            values.push_back(model.value(IR, i));
        }
        return values;
    }();

    // The groups the tool writes: first register and quantity.
    const std::pair<int, int> groups[] = {{0, 11}, {11, 11}, {22, 5}, {27, 1}, {28, 2},
                                          {33, 4}, {37, 2},  {39, 2}, {41, 3}, {44, 3}};
    for (const auto& [first, count] : groups) {
        std::vector<std::uint8_t> request{0x01,
                                          0x10,
                                          0x00,
                                          static_cast<std::uint8_t>(first),
                                          0x00,
                                          static_cast<std::uint8_t>(count),
                                          static_cast<std::uint8_t>(2 * count)};
        for (int i = 0; i < 2 * count; ++i) {
            request.push_back(before[3 + 2 * static_cast<std::size_t>(first) + i]);
        }
        appendCrc(request);
        const auto reply = server.serve(request);
        ASSERT_EQ(reply.size(), 1U) << "group at " << first;
        EXPECT_EQ(reply.front().bytes[1], 0x10) << "group at " << first;
    }

    EXPECT_EQ(readAll(), before);
    EXPECT_EQ(model.address(), 1);
    for (int i = 0; i < InputRegisterCount; ++i) {
        EXPECT_EQ(model.value(IR, i), inputsBefore[static_cast<std::size_t>(i)]) << "input " << i;
    }
}

TEST(UnitModelDefaults, FirmwareVersionIsZeroPaddedTextHighByteFirst) {
    const UnitModel model;
    std::string text;
    for (int i = 0; i < reg::FirmwareTextRegisters; ++i) {
        const std::uint16_t word = model.value(IR, reg::FirmwareText + i);
        text += static_cast<char>(word >> 8);
        text += static_cast<char>(word & 0xFF);
    }
    EXPECT_EQ(text, std::string(reg::DefaultFirmwareVersion) +
                        std::string(24 - reg::DefaultFirmwareVersion.size(), '\0'));
}

// ---- Behaviour ---------------------------------------------------------------------------------

class UnitModelBehaviour : public testing::Test {
protected:
    // The controller measures what the register shows, so pinning it steers the controller.
    void runAt(int temperature1) {
        model.pin(IR, reg::Temperature1, static_cast<std::uint16_t>(temperature1));
        model.advance();
    }
    [[nodiscard]] int ir(int address) const { return model.value(IR, address); }
    [[nodiscard]] int coil(int address) const { return model.value(Coil, address); }
    [[nodiscard]] int di(int address) const { return model.value(DI, address); }

    UnitModel model;
};

TEST_F(UnitModelBehaviour, InternalFansFollowTheirCurveFromTemperature1) {
    struct Step {
        int temperature;
        int speed;
    };
    // Ramp up, step, then down through the stop/start band.
    const Step steps[] = {{270, 1300}, {300, 1750}, {350, 2500}, {400, 2700}, {210, 1000},
                          {200, 0},    {220, 0},    {229, 0},    {230, 1000}, {250, 1000}};
    for (const Step& step : steps) {
        runAt(step.temperature);
        SCOPED_TRACE(step.temperature);
        EXPECT_EQ(ir(reg::InternalFan1Rev), step.speed);
        EXPECT_EQ(ir(reg::InternalFan2Rev), step.speed);
        EXPECT_EQ(coil(0), step.speed > 0 ? 1 : 0);
        EXPECT_EQ(coil(1), step.speed > 0 ? 1 : 0);
    }
}

TEST_F(UnitModelBehaviour, ExternalFansFollowTemperature2AndTheirOwnGroup) {
    model.pin(IR, reg::Temperature2, 350);
    runAt(270);
    EXPECT_EQ(ir(reg::ExternalFan1Rev), 2100); // 1200 + 1800 * 50 / 100
    EXPECT_EQ(ir(reg::ExternalFan2Rev), 2100);
    EXPECT_EQ(ir(reg::InternalFan1Rev), 1300);
    model.pin(IR, reg::Temperature2, 250); // External StopTemp
    model.advance();
    EXPECT_EQ(ir(reg::ExternalFan1Rev), 0);
    EXPECT_EQ(coil(reg::ExternalFan1Status), 0);
    EXPECT_EQ(ir(reg::InternalFan1Rev), 1300);
}

TEST_F(UnitModelBehaviour, FanSpeedFollowsChangedGroupRegisters) {
    model.write(HR, reg::InternalFanGroup + reg::FanMinRev, 1500);
    model.write(HR, reg::InternalFanGroup + reg::FanMaxRev, 3000);
    runAt(300);
    EXPECT_EQ(ir(reg::InternalFan1Rev), 2250);
    model.write(HR, reg::InternalFanGroup + reg::Fan2Enable, 0);
    model.advance();
    EXPECT_EQ(ir(reg::InternalFan1Rev), 2250);
    EXPECT_EQ(ir(reg::InternalFan2Rev), 0);
    EXPECT_EQ(coil(1), 0);
    EXPECT_EQ(coil(0), 1);
}

TEST_F(UnitModelBehaviour, CompressorSwitchesOnItsStartAndDeltTemperatures) {
    struct Step {
        int temperature;
        int on;
        int speed;
    };
    // Start 30.0, difference 5.0, MaxRPM 4500.
    const Step steps[] = {{290, 0, 0},    {300, 1, 4500}, {260, 1, 2500},
                          {251, 1, 2050}, {250, 0, 0},    {290, 0, 0}};
    for (const Step& step : steps) {
        runAt(step.temperature);
        SCOPED_TRACE(step.temperature);
        EXPECT_EQ(coil(reg::CompressorOn), step.on);
        EXPECT_EQ(ir(reg::CompressorRev), step.speed);
        EXPECT_EQ(ir(reg::CompressorCurrent), step.speed * 3 / 100);
    }
}

TEST_F(UnitModelBehaviour, HeaterSwitchesOnItsStartAndDeltTemperatures) {
    struct Step {
        int temperature;
        int on;
    };
    // Start 5.0, difference 5.0; current midway between MinCurrent 2.0 and MaxCurrent 15.0 A.
    const Step steps[] = {{60, 0}, {50, 1}, {90, 1}, {100, 0}, {60, 0}, {-30, 1}};
    for (const Step& step : steps) {
        runAt(step.temperature);
        SCOPED_TRACE(step.temperature);
        EXPECT_EQ(coil(reg::HeaterOn), step.on);
        EXPECT_EQ(ir(reg::HeaterCurrent), step.on ? 85 : 0);
    }
    model.write(HR, reg::HeaterEnable, 0);
    runAt(-30);
    EXPECT_EQ(coil(reg::HeaterOn), 0);
    EXPECT_EQ(ir(reg::HeaterCurrent), 0);
}

TEST_F(UnitModelBehaviour, AlarmInputsRiseBeyondTheirLimits) {
    struct Case {
        int temperature;
        int voltage;
        int high, low, overVoltage, underVoltage;
    };
    // Limits: 55.0 / -5.0 degrees, 58.0 / 42.0 volts.
    const Case cases[] = {{270, 480, 0, 0, 0, 0}, {550, 580, 0, 0, 0, 0}, {551, 480, 1, 0, 0, 0},
                          {-51, 480, 0, 1, 0, 0}, {-50, 420, 0, 0, 0, 0}, {270, 581, 0, 0, 1, 0},
                          {270, 419, 0, 0, 0, 1}};
    for (const Case& c : cases) {
        model.pin(IR, reg::SupplyVoltage, static_cast<std::uint16_t>(c.voltage));
        runAt(c.temperature);
        SCOPED_TRACE(testing::Message() << c.temperature << " / " << c.voltage);
        EXPECT_EQ(di(reg::HighTempAlarm), c.high);
        EXPECT_EQ(di(reg::LowTempAlarm), c.low);
        EXPECT_EQ(di(reg::VoltageHighAlarm), c.overVoltage);
        EXPECT_EQ(di(reg::VoltageLowAlarm), c.underVoltage);
    }
    model.write(HR, reg::HighTempLimit, 600);
    runAt(551);
    EXPECT_EQ(di(reg::HighTempAlarm), 0);
}

TEST_F(UnitModelBehaviour, DebugTemperatureReplacesTemperature1WhileInRange) {
    const int real = ir(reg::Temperature1);
    struct Case {
        int written;
        int reads;
    };
    const Case cases[] = {{250, 250},   {-400, -400}, {999, 999}, {1100, real},
                          {-401, real}, {1000, real}, {0, 0},     {1100, real}};
    for (const Case& c : cases) {
        ASSERT_TRUE(model.write(HR, reg::DebugTemperature, static_cast<std::uint16_t>(c.written)));
        EXPECT_EQ(s16(model.value(IR, reg::Temperature1)), c.reads) << "written " << c.written;
        EXPECT_EQ(s16(model.value(HR, reg::DebugTemperature)), c.written);
    }
}

TEST_F(UnitModelBehaviour, ControllerActsOnTheDebugTemperature) {
    model.write(HR, reg::DebugTemperature, 400);
    model.advance();
    EXPECT_EQ(ir(reg::Temperature1), 400);
    EXPECT_EQ(coil(reg::CompressorOn), 1);
    EXPECT_EQ(ir(reg::InternalFan1Rev), 2700);
    model.write(HR, reg::DebugTemperature, reg::DebugTemperatureOff);
    model.advance();
    EXPECT_LT(ir(reg::Temperature1), 300);
    EXPECT_LT(ir(reg::InternalFan1Rev), 2700);
}

TEST_F(UnitModelBehaviour, ForcedOutputSetsForceStatusAtOnceAndRunsTheOutputs) {
    runAt(270);
    const int curveSpeed = ir(reg::InternalFan1Rev);
    model.write(Coil, reg::ForcedOutput, 0xFF00);
    EXPECT_EQ(coil(reg::ForcedOutput), 1);
    EXPECT_EQ(ir(reg::ForceOutputStatus), 1);
    model.advance();
    EXPECT_EQ(ir(reg::ForceOutputStatus), 1);
    EXPECT_EQ(ir(reg::InternalFan1Rev), 2500);
    EXPECT_EQ(ir(reg::ExternalFan2Rev), 3000);
    EXPECT_EQ(coil(reg::CompressorOn), 1);
    EXPECT_EQ(ir(reg::CompressorRev), 4500);

    model.write(Coil, reg::ForcedOutput, 0);
    EXPECT_EQ(ir(reg::ForceOutputStatus), 0);
    model.advance();
    EXPECT_EQ(ir(reg::InternalFan1Rev), curveSpeed);
    EXPECT_EQ(coil(reg::CompressorOn), 0);
}

TEST_F(UnitModelBehaviour, PinnedValuesResistTheModelUntilUnpinned) {
    model.pin(DI, 16, 1);
    model.pin(IR, reg::SupplyVoltage, 520);
    model.pin(Coil, reg::CompressorOn, 1);
    for (int i = 0; i < 3; ++i) {
        model.advance();
    }
    EXPECT_EQ(di(16), 1);
    EXPECT_EQ(ir(reg::SupplyVoltage), 520);
    EXPECT_EQ(coil(reg::CompressorOn), 1);
    EXPECT_TRUE(model.isPinned(IR, reg::SupplyVoltage));

    model.unpin(IR, reg::SupplyVoltage);
    model.advance();
    EXPECT_NEAR(ir(reg::SupplyVoltage), 480, 5);
    EXPECT_EQ(di(16), 1);
    model.unpinAll();
    model.advance();
    EXPECT_EQ(coil(reg::CompressorOn), 0);
    EXPECT_FALSE(model.isPinned(DI, 16));
}

TEST_F(UnitModelBehaviour, RefusesSlaveAddressesOutsideOneTo255) {
    EXPECT_FALSE(model.write(HR, reg::Address, 0));
    EXPECT_FALSE(model.write(HR, reg::Address, 256));
    EXPECT_FALSE(model.pin(HR, reg::Address, 0));
    EXPECT_EQ(model.address(), 1);
    EXPECT_TRUE(model.write(HR, reg::Address, 255));
    EXPECT_EQ(model.address(), 255);
    EXPECT_FALSE(model.write(HR, HoldingRegisterCount, 1));
}

TEST_F(UnitModelBehaviour, MovesSlowlyAndRegulatesTheCabinet) {
    int previous = ir(reg::Temperature1);
    int compressorStarts = 0;
    int compressorStops = 0;
    int lowest = 1000;
    int highest = -1000;
    for (int second = 0; second < 3600; ++second) {
        const int wasOn = coil(reg::CompressorOn);
        model.advance();
        const int temperature = ir(reg::Temperature1);
        ASSERT_LE(std::abs(temperature - previous), 2) << "second " << second;
        previous = temperature;
        ASSERT_NEAR(ir(reg::SupplyVoltage), 480, 4);
        compressorStarts += !wasOn && coil(reg::CompressorOn);
        compressorStops += wasOn && !coil(reg::CompressorOn);
        if (compressorStarts > 0) {
            lowest = std::min(lowest, temperature);
            highest = std::max(highest, temperature);
        }
    }
    EXPECT_GE(compressorStarts, 3);
    EXPECT_GE(compressorStops, 3);
    // Between the stop point (25.0) and the start temperature (30.0), give or take one step.
    EXPECT_GE(lowest, 248);
    EXPECT_LE(highest, 302);
}

} // namespace
} // namespace sim

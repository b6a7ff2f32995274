#include "LiveChannels.h"

#include "TestLogSink.h"
#include "link/ModbusFrame.h"

#include <algorithm>
#include <stdexcept>

namespace climate::realtime {

namespace {

using channel_access::read;
using channel_access::store;
using D = Decoding;
using G = LiveGroup;
using L = OnLinkLoss;
using U = LiveUnit;

// A measurement or setting held in a register.
template <auto Member, Decoding Dec>
constexpr LiveChannel measured(const char* field, const char* name, LiveUnit unit, int decimals,
                               LiveGroup group, std::uint16_t address) {
    LiveChannel row;
    row.field = field;
    row.name = name;
    row.unit = unit;
    row.decimals = decimals;
    row.group = group;
    row.address = address;
    row.decoding = Dec;
    row.value = read<Member>;
    row.store = store<Member, Dec>;
    return row;
}

// A coil or discrete input.
template <auto Member>
constexpr LiveChannel flag(const char* field, const char* name, LiveGroup group,
                           std::uint16_t address) {
    return measured<Member, D::Bit>(field, name, U::Flag, 0, group, address);
}

// `row` with what `change` sets beyond the basics (the page, the log, the trend, link loss).
constexpr LiveChannel with(LiveChannel row, auto change) {
    change(row);
    return row;
}

// A discrete input and the LED it lights.
template <auto Member>
constexpr LiveChannel alarm(const char* field, const char* name, std::uint16_t input, int led,
                            OnLinkLoss onLinkLoss) {
    LiveChannel row = flag<Member>(field, name, G::AlarmInputs, input);
    row.alarmLed = led;
    row.onLinkLoss = onLinkLoss;
    return row;
}

// The trend's colours follow the usual ten-colour palette, black for the lone voltage.
constexpr std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (r << 16) | (g << 8) | b;
}

constexpr std::array Channels{
    // Input registers 0 ... 13.
    with(measured<&LiveData::InternalFan1Rev, D::Unsigned>("InternalFan1Rev", "Internal fan 1",
                                                           U::Rpm, 0, G::Measurements, 0),
         [](LiveChannel& c) {
             c.onLinkLoss = L::Zeroed;
             c.page = {.edit = 19, .gauge = 1, .odometer = 1};
             c.logColumn = 3;
             c.logCell = LogCell::Whole;
             c.trended = true;
             c.colour = rgb(31, 119, 180);
         }),
    with(measured<&LiveData::InternalFan2Rev, D::Unsigned>("InternalFan2Rev", "Internal fan 2",
                                                           U::Rpm, 0, G::Measurements, 1),
         [](LiveChannel& c) {
             c.onLinkLoss = L::Zeroed;
             c.page = {.gauge = 2, .odometer = 2};
             c.logColumn = 4;
             c.logCell = LogCell::Whole;
             c.trended = true;
             c.colour = rgb(23, 190, 207);
         }),
    with(measured<&LiveData::ExternalFan1Rev, D::Unsigned>("ExternalFan1Rev", "External fan 1",
                                                           U::Rpm, 0, G::Measurements, 2),
         [](LiveChannel& c) {
             c.onLinkLoss = L::Zeroed;
             c.page = {.edit = 20, .gauge = 3, .odometer = 3};
             c.logColumn = 5;
             c.logCell = LogCell::Whole;
             c.trended = true;
             c.colour = rgb(44, 160, 44);
         }),
    with(measured<&LiveData::ExternalFan2Rev, D::Unsigned>("ExternalFan2Rev", "External fan 2",
                                                           U::Rpm, 0, G::Measurements, 3),
         [](LiveChannel& c) {
             c.onLinkLoss = L::Zeroed;
             c.page = {.gauge = 4, .odometer = 4};
             c.logColumn = 6;
             c.logCell = LogCell::Whole;
             c.trended = true;
             c.colour = rgb(140, 86, 75);
         }),
    with(measured<&LiveData::Temperature1, D::SignedTenths>("Temperature1", "Temperature 1",
                                                            U::Celsius, 1, G::Measurements, 4),
         [](LiveChannel& c) {
             c.onLinkLoss = L::Zeroed;
             c.page = {.readout = 3, .thermometer = 1};
             c.logColumn = 7;
             c.logCell = LogCell::Real;
             c.trended = true;
             c.colour = rgb(214, 39, 40);
             c.description = "Temperature 1: temperature sensor 1 (input register 4, the Temp "
                             "Sensor1 alarm's sensor)";
         }),
    with(measured<&LiveData::Temperature2, D::SignedTenths>("Temperature2", "Temperature 2",
                                                            U::Celsius, 1, G::Measurements, 5),
         [](LiveChannel& c) {
             c.onLinkLoss = L::Zeroed;
             c.page = {.readout = 4, .thermometer = 2};
             c.logColumn = 8;
             c.logCell = LogCell::Real;
             c.trended = true;
             c.colour = rgb(255, 127, 14);
             c.description = "Temperature 2: temperature sensor 2 (input register 5, the Temp "
                             "Sensor2 alarm's sensor)";
         }),
    with(measured<&LiveData::SupplyVoltage, D::SignedTenths>("SupplyVoltage", "Supply voltage",
                                                             U::Volt, 1, G::Measurements, 6),
         [](LiveChannel& c) {
             c.onLinkLoss = L::Zeroed;
             c.page = {.readout = 5, .gauge = 5};
             c.trended = true;
             c.colour = rgb(0, 0, 0);
         }),
    with(measured<&LiveData::CompressorRev, D::Signed>("CompressorRev", "Compressor speed", U::Rpm,
                                                       0, G::Measurements, 7),
         [](LiveChannel& c) {
             c.onLinkLoss = L::Zeroed;
             c.page = {.odometer = 5};
             c.logColumn = 9;
             c.logCell = LogCell::RealNotLess;
             c.trended = true;
             c.colour = rgb(227, 119, 194);
         }),
    with(measured<&LiveData::CompressorCurrent, D::SignedTenths>(
             "CompressorCurrent", "Compressor current", U::Ampere, 1, G::Measurements, 8),
         [](LiveChannel& c) {
             c.onLinkLoss = L::Zeroed;
             c.page = {.readout = 1, .gauge = 7};
             c.trended = true;
             c.colour = rgb(188, 189, 34);
         }),
    with(measured<&LiveData::HeaterCurrent, D::SignedTenths>("HeaterCurrent", "Heater current",
                                                             U::Ampere, 1, G::Measurements, 10),
         [](LiveChannel& c) {
             c.page = {.readout = 2, .gauge = 6};
             c.logColumn = 11;
             c.logCell = LogCell::Real;
             c.trended = true;
             c.colour = rgb(127, 127, 127);
         }),
    measured<&LiveData::ForceOutputStatus, D::LowByte>("ForceOutputStatus", "Forced output status",
                                                       U::Flag, 0, G::Measurements, 11),
    with(measured<&LiveData::Temperature3, D::SignedTenths>("Temperature3", "Temperature 3",
                                                            U::Celsius, 1, G::Measurements, 13),
         [](LiveChannel& c) {
             c.page = {.readout = 6, .thermometer = 3};
             c.trended = true;
             c.colour = rgb(148, 103, 189);
             c.description = "Temperature 3: the third temperature (input register 13)";
         }),

    // Holding registers 41 and 42.
    with(measured<&LiveData::CompressorSetTemp, D::SignedTenths>(
             "CompressorSetTemp", "Compressor start temperature", U::Celsius, 1,
             G::CompressorSettings, 41),
         [](LiveChannel& c) { c.page = {.edit = 3}; }),
    with(measured<&LiveData::CompressorDeltTemp, D::SignedTenths>(
             "CompressorDeltTemp", "Compressor temperature difference", U::Celsius, 1,
             G::CompressorSettings, 42),
         [](LiveChannel& c) { c.page = {.edit = 32}; }),

    // Coils 0 ... 5 and 12. The fans' running LEDs go dark on a lost link; their flags stay.
    with(flag<&LiveData::IntFan1Status>("IntFan1Status", "Internal fan 1 running", G::StatusCoils,
                                        0),
         [](LiveChannel& c) {
             c.page = {.led = 1};
             c.onLinkLoss = L::PageOff;
         }),
    with(flag<&LiveData::IntFan2Status>("IntFan2Status", "Internal fan 2 running", G::StatusCoils,
                                        1),
         [](LiveChannel& c) {
             c.page = {.led = 2};
             c.onLinkLoss = L::PageOff;
         }),
    with(flag<&LiveData::ExtFan1Status>("ExtFan1Status", "External fan 1 running", G::StatusCoils,
                                        2),
         [](LiveChannel& c) {
             c.page = {.led = 3};
             c.onLinkLoss = L::PageOff;
         }),
    with(flag<&LiveData::ExtFan2Status>("ExtFan2Status", "External fan 2 running", G::StatusCoils,
                                        3),
         [](LiveChannel& c) {
             c.page = {.led = 4};
             c.onLinkLoss = L::PageOff;
         }),
    with(flag<&LiveData::CompressorOn>("CompressorOn", "Compressor on", G::StatusCoils, 4),
         [](LiveChannel& c) { c.page = {.rotary = 2}; }),
    with(flag<&LiveData::HeaterOn>("HeaterOn", "Heater on", G::StatusCoils, 5),
         [](LiveChannel& c) { c.page = {.rotary = 1}; }),
    with(flag<&LiveData::ForcedOutput>("ForcedOutput", "Forced output", G::StatusCoils, 12),
         [](LiveChannel& c) { c.page = {.rocker = true}; }),

    // Discrete inputs 0 ... 17 (6, 8 and 9 are not used), each with the LED it lights. A lost link
    // clears all but the second compressor alarm and the pressure alarms.
    alarm<&LiveData::IntFan1Alarm>("IntFan1Alarm", "Internal fan 1 alarm", 0, 5, L::Zeroed),
    alarm<&LiveData::IntFan2Alarm>("IntFan2Alarm", "Internal fan 2 alarm", 1, 7, L::Zeroed),
    alarm<&LiveData::ExtFan1Alarm>("ExtFan1Alarm", "External fan 1 alarm", 2, 8, L::Zeroed),
    alarm<&LiveData::ExtFan2Alarm>("ExtFan2Alarm", "External fan 2 alarm", 3, 9, L::Zeroed),
    alarm<&LiveData::CompressorAlarm1>("CompressorAlarm1", "Compressor alarm 1", 4, 16, L::Zeroed),
    alarm<&LiveData::CompressorAlarm2>("CompressorAlarm2", "Compressor alarm 2", 5, 16, L::Keeps),
    alarm<&LiveData::HeaterAlarm>("HeaterAlarm", "Heater alarm", 7, 6, L::Zeroed),
    alarm<&LiveData::TempSensor1Alarm>("TempSensor1Alarm", "Temperature sensor 1 alarm", 10, 11,
                                       L::Zeroed),
    alarm<&LiveData::TempSensor2Alarm>("TempSensor2Alarm", "Temperature sensor 2 alarm", 11, 12,
                                       L::Zeroed),
    alarm<&LiveData::VoltageAlarm1>("VoltageAlarm1", "Supply voltage alarm 1", 12, 17, L::Zeroed),
    alarm<&LiveData::VoltageAlarm2>("VoltageAlarm2", "Supply voltage alarm 2", 13, 17, L::Zeroed),
    alarm<&LiveData::HighTempAlarm>("HighTempAlarm", "High temperature alarm", 14, 13, L::Zeroed),
    alarm<&LiveData::LowTempAlarm>("LowTempAlarm", "Low temperature alarm", 15, 14, L::Zeroed),
    alarm<&LiveData::HighPressureAlarm>("HighPressureAlarm", "High pressure alarm", 16, 10,
                                        L::Keeps),
    alarm<&LiveData::LowPressureAlarm>("LowPressureAlarm", "Low pressure alarm", 17, 15, L::Keeps),
};

constexpr std::array<AlarmLed, 13> Leds{{
    {5, "Internal fan 1", "Internal fan 1 alarm (discrete input 0)"},
    {7, "Internal fan 2", "Internal fan 2 alarm (discrete input 1)"},
    {8, "External fan 1", "External fan 1 alarm (discrete input 2)"},
    {9, "External fan 2", "External fan 2 alarm (discrete input 3)"},
    {16, "Compressor", "Compressor alarm: either compressor alarm (discrete input 4 or 5)"},
    {13, "High temperature", "High temperature alarm (discrete input 14)"},
    {14, "Low temperature", "Low temperature alarm (discrete input 15)"},
    {11, "Temperature sensor 1", "Temperature sensor 1 alarm (discrete input 10)"},
    {12, "Temperature sensor 2", "Temperature sensor 2 alarm (discrete input 11)"},
    {17, "Supply voltage",
     "Supply voltage alarm: either supply voltage alarm (discrete input 12 or 13), against the "
     "VoltageAlarm group's HighValue and LowValue"},
    {6, "Heater", "Heater alarm (discrete input 7)"},
    {10, "High pressure", "High pressure alarm (discrete input 16)"},
    {15, "Low pressure", "Low pressure alarm (discrete input 17)"},
}};

static_assert(std::ranges::count_if(Channels, &LiveChannel::trended) == TrendedChannelCount);
static_assert(std::ranges::count_if(Channels, [](const LiveChannel& c) {
                  return c.logCell != LogCell::None;
              }) == TestLogValueCount);

} // namespace

std::span<const LiveChannel> liveChannels() {
    return Channels;
}

std::span<const AlarmLed> alarmLeds() {
    return Leds;
}

const LiveChannel& liveChannel(std::string_view field) {
    const auto found = std::ranges::find(
        Channels, field, [](const LiveChannel& c) { return std::string_view(c.field); });
    if (found == Channels.end()) {
        throw std::out_of_range("no live channel " + std::string(field));
    }
    return *found;
}

const char* unitSymbol(LiveUnit unit) {
    switch (unit) {
    case LiveUnit::Celsius:
        return "°C";
    case LiveUnit::Rpm:
        return "RPM";
    case LiveUnit::Ampere:
        return "A";
    case LiveUnit::Volt:
        return "V";
    case LiveUnit::Flag:
        break;
    }
    return "";
}

std::string channelTitle(const LiveChannel& channel) {
    std::string title = channel.name;
    if (channel.unit != LiveUnit::Flag) {
        title += std::string(" (") + unitSymbol(channel.unit) + ")";
    }
    return title;
}

void decodeGroup(LiveGroup group, std::uint16_t first, std::span<const std::uint8_t> reply,
                 LiveData& live) {
    for (const LiveChannel& channel : Channels) {
        if (channel.group != group) {
            continue;
        }
        const std::size_t offset = channel.address - first;
        const std::uint16_t raw =
            channel.decoding == Decoding::Bit
                ? static_cast<std::uint16_t>(link::replyBit(reply, offset) ? 1 : 0)
                : link::replyRegister(reply, offset);
        channel.store(live, raw);
    }
}

bool alarmLit(const AlarmLed& led, const LiveData& live) {
    return std::ranges::any_of(Channels, [&](const LiveChannel& channel) {
        return channel.alarmLed == led.led && channel.value(live) != 0;
    });
}

} // namespace climate::realtime

#pragma once

#include "LiveData.h"
#include "LiveDataDecoding.h"
#include "LiveGroup.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace climate::realtime {

// The units of the live values; the trend draws one pane per unit, in this order top to bottom.
enum class LiveUnit : std::uint8_t { Celsius, Rpm, Ampere, Volt, Flag };
inline constexpr std::size_t PaneUnitCount = 4; // the units before Flag

// How a channel's raw word (a register, or a coil or input as 0/1) becomes its value.
enum class Decoding : std::uint8_t {
    Unsigned,     // 0 ... 65535
    Signed,       // two's complement, not scaled
    SignedTenths, // two's complement, in tenths of the unit
    LowByte,      // only the low byte counts; the controller may set the high one
    Bit,          // a coil or discrete input
};

// What a lost link does to a channel (on every Timer1 tick while the link counts as lost).
enum class OnLinkLoss : std::uint8_t {
    Keeps,   // the record and the page keep the last value
    Zeroed,  // the record is set to 0 and the page shows 0
    PageOff, // the record keeps its value, the page's widget is switched off
};

// How the test log writes a channel's value into its cell.
enum class LogCell : std::uint8_t {
    None,        // not logged
    Whole,       // an unsigned whole number
    Real,        // a double
    RealNotLess, // a double, a negative value written as 0 (as the odometer shows it)
};

// The RealTimeData page's widgets of one channel, by the number in their designer names (0:
// none). The page sets them in this order: Edit<n>, iAnalogOutput, iAngularGauge, iOdometer,
// iThermometer; a flag lights iLedRound<led>, turns iSwitchRotary<rotary> (position 0 when on)
// or sets the rocker.
struct PageWidgets {
    int edit = 0;
    int readout = 0;
    int gauge = 0;
    int odometer = 0;
    int thermometer = 0;
    int led = 0;
    int rotary = 0;
    bool rocker = false;
};

// One live value: where the polling circle reads it, how it is decoded, and how the page, the
// test log, the trend and the command line show it.
struct LiveChannel {
    const char* field = ""; // the LiveData field
    const char* name = "";  // one name everywhere outside the specified workbook
    LiveUnit unit = LiveUnit::Flag;
    int decimals = 0; // as the page shows the value
    LiveGroup group = LiveGroup::Measurements;
    std::uint16_t address = 0; // register, coil or discrete input number
    Decoding decoding = Decoding::Unsigned;
    double (*value)(const LiveData& live) = nullptr;
    void (*store)(LiveData& live, std::uint16_t raw) = nullptr;
    OnLinkLoss onLinkLoss = OnLinkLoss::Keeps;
    PageWidgets page;
    int logColumn = 0; // 1-based column of the test log's sheet; 0: not logged
    LogCell logCell = LogCell::None;
    bool trended = false;         // the trend plots it, in the pane of its unit
    std::uint32_t colour = 0;     // the trend's line colour, 0xRRGGBB
    int alarmLed = 0;             // an alarm input: n of the iLedRound<n> it lights
    const char* description = ""; // what it measures, for a tool tip
};

namespace channel_access {

template <auto Member> constexpr double read(const LiveData& live) {
    return static_cast<double>(live.*Member);
}

// The decoded value of a raw word, in the type of the field.
template <auto Member, Decoding D> void store(LiveData& live, std::uint16_t raw) {
    using Field = std::remove_cvref_t<decltype(live.*Member)>;
    if constexpr (D == Decoding::SignedTenths) {
        live.*Member = static_cast<Field>(signedTenths(raw));
    } else if constexpr (D == Decoding::Signed) {
        live.*Member = static_cast<Field>(static_cast<std::int16_t>(raw));
    } else if constexpr (D == Decoding::LowByte) {
        live.*Member = static_cast<Field>(raw & 0xFF);
    } else if constexpr (D == Decoding::Bit) {
        live.*Member = static_cast<Field>(raw != 0 ? 1 : 0);
    } else {
        live.*Member = static_cast<Field>(raw);
    }
}

} // namespace channel_access

// One alarm LED of the RealTimeData page: lit when any of its discrete inputs is set.
struct AlarmLed {
    int led = 0;           // n of iLedRound<n>
    const char* name = ""; // the alarm's name, as the trend marks it
    const char* description = "";
};

// The thirteen alarm LEDs, in the order the lit phase sets them.
[[nodiscard]] std::span<const AlarmLed> alarmLeds();

// How many channels the trend plots (those marked `trended`); the table checks it when compiled.
inline constexpr std::size_t TrendedChannelCount = 11;

// Every live value, measurements first (in register order), then the compressor settings, the
// output states and the alarm inputs. The poll decoding, the page, the test log, the trend and
// the command line all read this table.
[[nodiscard]] std::span<const LiveChannel> liveChannels();

// The channel of a LiveData field; throws std::out_of_range for an unknown one.
[[nodiscard]] const LiveChannel& liveChannel(std::string_view field);

// "Temperature 1 (°C)"; a flag has no unit: "Heater on".
[[nodiscard]] std::string channelTitle(const LiveChannel& channel);
// "°C", "RPM", "A", "V"; empty for a flag.
[[nodiscard]] const char* unitSymbol(LiveUnit unit);

// Decodes every channel of `group` from the accepted reply `reply`, whose first coil, input or
// register is `first`.
void decodeGroup(LiveGroup group, std::uint16_t first, std::span<const std::uint8_t> reply,
                 LiveData& live);

// Whether `led`'s alarm inputs ask for it to be lit.
[[nodiscard]] bool alarmLit(const AlarmLed& led, const LiveData& live);

} // namespace climate::realtime

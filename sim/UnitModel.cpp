#include "UnitModel.h"

#include "FanCurve.h"
#include "UnitRegisters.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <span>

namespace sim {

namespace {

struct Default {
    int address;
    int value;
};

// A consistent configuration: reading it and writing it back group by group changes nothing.
// Temperatures are whole or half degrees so that they survive a round trip through tenths text.
constexpr std::array HoldingDefaults{
    Default{0, 200},   Default{1, 2500}, Default{2, 1000},  Default{3, 50},    Default{4, 350},
    Default{5, 250},   Default{6, 200},  Default{7, 30},    Default{8, 2},     Default{9, 1},
    Default{10, 1},    Default{11, 200}, Default{12, 3000}, Default{13, 1200}, Default{14, 50},
    Default{15, 400},  Default{16, 300}, Default{17, 250},  Default{18, 30},   Default{19, 2},
    Default{20, 1},    Default{21, 1},   Default{22, 50},   Default{23, 50},   Default{24, 150},
    Default{25, 20},   Default{26, 1},   Default{27, 1},    Default{28, 550},  Default{29, -50},
    Default{30, 1100}, Default{31, 0},   Default{32, 0},    Default{33, 0},    Default{34, 0},
    Default{35, 0},    Default{36, 0},   Default{37, 0},    Default{38, 0},    Default{39, 580},
    Default{40, 420},  Default{41, 300}, Default{42, 50},   Default{43, 4500}, Default{44, 250},
    Default{45, 50},   Default{46, 50},
};
static_assert(HoldingDefaults.size() == HoldingRegisterCount);

constexpr int CompressorMinRpm = 2000;

int tenths(double value) {
    return static_cast<int>(std::lround(value * 10.0));
}

} // namespace

UnitModel::UnitModel() {
    loadDefaults();
    refreshSensors();
    control();
}

void UnitModel::loadDefaults() {
    for (const Default& entry : HoldingDefaults)
        table(RegisterTable::HoldingRegister).values.at(entry.address) =
            static_cast<std::uint16_t>(entry.value);

    // Two characters per register, high byte first, zero padded.
    auto& inputs = table(RegisterTable::InputRegister).values;
    const std::string_view text = reg::DefaultFirmwareVersion;
    for (int i = 0; i < reg::FirmwareTextRegisters; ++i) {
        const std::size_t at = static_cast<std::size_t>(2 * i);
        const auto high = at < text.size() ? static_cast<std::uint8_t>(text[at]) : 0;
        const auto low = at + 1 < text.size() ? static_cast<std::uint8_t>(text[at + 1]) : 0;
        inputs.at(reg::FirmwareText + i) = static_cast<std::uint16_t>(high << 8 | low);
    }
}

const UnitModel::Table& UnitModel::table(RegisterTable which) const {
    return m_tables.at(static_cast<std::size_t>(which));
}

UnitModel::Table& UnitModel::table(RegisterTable which) {
    return m_tables.at(static_cast<std::size_t>(which));
}

std::uint16_t UnitModel::value(RegisterTable which, int address) const {
    if (address < 0 || address >= tableSize(which))
        return 0;
    return table(which).values.at(static_cast<std::size_t>(address));
}

std::int16_t UnitModel::holding(int address) const {
    return static_cast<std::int16_t>(value(RegisterTable::HoldingRegister, address));
}

std::int16_t UnitModel::input(int address) const {
    return static_cast<std::int16_t>(value(RegisterTable::InputRegister, address));
}

std::optional<std::string> UnitModel::refusal(RegisterTable which, int address,
                                              std::uint16_t value) {
    if (address < 0 || address >= tableSize(which))
        return "address out of range";
    if (which == RegisterTable::HoldingRegister && address == reg::Address &&
        (value < 1 || value > 255))
        return "slave address must be 1 to 255";
    return std::nullopt;
}

bool UnitModel::write(RegisterTable which, int address, std::uint16_t value) {
    if (refusal(which, address, value))
        return false;
    if (isBitTable(which))
        value = value != 0 ? 1 : 0;
    table(which).values.at(static_cast<std::size_t>(address)) = value;

    if (which == RegisterTable::HoldingRegister && address == reg::DebugTemperature)
        refreshTemperature1();
    if (which == RegisterTable::Coil && address == reg::ForcedOutput)
        update(RegisterTable::InputRegister, reg::ForceOutputStatus, value);
    return true;
}

bool UnitModel::pin(RegisterTable which, int address, std::uint16_t value) {
    if (!write(which, address, value))
        return false;
    table(which).pinned.at(static_cast<std::size_t>(address)) = true;
    return true;
}

void UnitModel::unpin(RegisterTable which, int address) {
    if (address >= 0 && address < tableSize(which))
        table(which).pinned.at(static_cast<std::size_t>(address)) = false;
}

void UnitModel::unpinAll() {
    for (Table& entry : m_tables)
        entry.pinned.fill(false);
}

bool UnitModel::isPinned(RegisterTable which, int address) const {
    return address >= 0 && address < tableSize(which) &&
           table(which).pinned.at(static_cast<std::size_t>(address));
}

int UnitModel::address() const {
    return value(RegisterTable::HoldingRegister, reg::Address);
}

void UnitModel::update(RegisterTable which, int address, int value) {
    Table& entry = table(which);
    const auto index = static_cast<std::size_t>(address);
    if (entry.pinned.at(index))
        return;
    if (isBitTable(which))
        value = value != 0 ? 1 : 0;
    entry.values.at(index) = static_cast<std::uint16_t>(value);
}

void UnitModel::advance() {
    ++m_seconds;
    // Outside air swings by a few degrees over twenty minutes.
    m_outside =
        32.0 + 3.0 * std::sin(2.0 * std::numbers::pi * static_cast<double>(m_seconds) / 1200.0);
    // The cabinet leaks towards the outside plus its own heat load; the compressor pulls it down,
    // the heater pushes it up. It moves by a tenth of a degree per second at most.
    const double leak = 0.005 * (m_outside + 5.0 - m_cabinet);
    m_cabinet += leak - (m_compressorRunning ? 0.1 : 0.0) + (m_heaterOn ? 0.08 : 0.0);
    m_coil += 0.1 * ((m_compressorRunning ? 12.0 : m_cabinet) - m_coil);
    const int drift = static_cast<int>(m_noise() % 3) - 1;
    m_voltage = std::clamp(m_voltage + 0.1 * drift, 47.6, 48.4);

    refreshSensors();
    control();
}

void UnitModel::refreshSensors() {
    refreshTemperature1();
    update(RegisterTable::InputRegister, reg::Temperature2,
           tenths(m_outside) + holding(reg::CalibrationTemp2));
    update(RegisterTable::InputRegister, reg::Temperature3, tenths(m_coil));
    update(RegisterTable::InputRegister, reg::SupplyVoltage,
           tenths(m_voltage) + holding(reg::CalibrationVoltage));
}

void UnitModel::refreshTemperature1() {
    const int debug = holding(reg::DebugTemperature);
    const bool simulated = debug >= reg::DebugTemperatureMin && debug <= reg::DebugTemperatureMax;
    update(RegisterTable::InputRegister, reg::Temperature1,
           simulated ? debug : tenths(m_cabinet) + holding(reg::CalibrationTemp1));
}

// The controller acts on what its registers show, so pinned readings steer it like real ones.
void UnitModel::control() {
    const int temperature1 = input(reg::Temperature1);
    const int temperature2 = input(reg::Temperature2);
    const bool forced = value(RegisterTable::Coil, reg::ForcedOutput) != 0;

    driveFanGroup(reg::InternalFanGroup, reg::InternalFan1Rev, temperature1, forced,
                  m_internalFansRunning);
    driveFanGroup(reg::ExternalFanGroup, reg::ExternalFan1Rev, temperature2, forced,
                  m_externalFansRunning);
    driveCompressor(temperature1, forced);
    driveHeater(temperature1);
    update(RegisterTable::InputRegister, reg::ForceOutputStatus, forced ? 1 : 0);
    raiseAlarms();
}

void UnitModel::driveFanGroup(int groupBase, int firstFan, int temperature, bool forced,
                              bool& running) {
    const auto& holdings = table(RegisterTable::HoldingRegister).values;
    const FanCurve curve(std::span<const std::uint16_t, FanCurve::RegisterCount>(
        holdings.data() + groupBase, FanCurve::RegisterCount));
    running = curve.runs(running, temperature);
    // A forced output runs every enabled fan at its maximum speed.
    int speed = running ? curve.runningSpeed(temperature) : 0;
    if (forced)
        speed = holdings.at(static_cast<std::size_t>(groupBase + reg::FanMaxRev));

    const int enables[] = {reg::Fan1Enable, reg::Fan2Enable};
    for (int fan = 0; fan < 2; ++fan) {
        const bool enabled = holding(groupBase + enables[fan]) == 1;
        update(RegisterTable::InputRegister, firstFan + fan, enabled ? speed : 0);
        // The status coil tells whether the fan actually turns, as its tacho shows.
        update(RegisterTable::Coil, firstFan + fan,
               value(RegisterTable::InputRegister, firstFan + fan) != 0);
    }
}

void UnitModel::driveCompressor(int temperature, bool forced) {
    const int start = holding(reg::CompressorStartTemp);
    const int delt = holding(reg::CompressorDeltTemp);
    const int maxRpm = std::max<int>(holding(reg::CompressorMaxRpm), 0);
    if (!m_compressorOn && temperature >= start)
        m_compressorOn = true;
    else if (m_compressorOn && temperature <= start - delt)
        m_compressorOn = false;
    m_compressorRunning = m_compressorOn || forced;

    int speed = 0;
    if (forced) {
        speed = maxRpm;
    } else if (m_compressorOn) {
        // From its minimum speed at the stop point to MaxRPM at the start temperature and above.
        const int lowest = std::min(CompressorMinRpm, maxRpm);
        const int span = std::max(delt, 1);
        const int above = std::clamp(temperature - (start - delt), 0, span);
        speed = lowest + (maxRpm - lowest) * above / span;
    }
    update(RegisterTable::Coil, reg::CompressorOn, m_compressorRunning);
    update(RegisterTable::InputRegister, reg::CompressorRev, speed);
    // About 3 A per 1000 RPM on the 48 V supply, in tenths of an ampere.
    const int current = speed > 0 ? speed * 3 / 100 + holding(reg::CalibrationCurrent) : 0;
    update(RegisterTable::InputRegister, reg::CompressorCurrent, current);
}

void UnitModel::driveHeater(int temperature) {
    const int start = holding(reg::HeaterStartTemp);
    const int delt = holding(reg::HeaterDeltTemp);
    if (holding(reg::HeaterEnable) != 1)
        m_heaterOn = false;
    else if (!m_heaterOn && temperature <= start)
        m_heaterOn = true;
    else if (m_heaterOn && temperature >= start + delt)
        m_heaterOn = false;
    update(RegisterTable::Coil, reg::HeaterOn, m_heaterOn);
    const int current =
        m_heaterOn ? (holding(reg::HeaterMaxCurrent) + holding(reg::HeaterMinCurrent)) / 2 : 0;
    update(RegisterTable::InputRegister, reg::HeaterCurrent, current);
}

void UnitModel::raiseAlarms() {
    const int temperature1 = input(reg::Temperature1);
    const int voltage = input(reg::SupplyVoltage);
    update(RegisterTable::DiscreteInput, reg::HighTempAlarm,
           temperature1 > holding(reg::HighTempLimit));
    update(RegisterTable::DiscreteInput, reg::LowTempAlarm,
           temperature1 < holding(reg::LowTempLimit));
    update(RegisterTable::DiscreteInput, reg::VoltageHighAlarm,
           voltage > holding(reg::VoltageHighLimit));
    update(RegisterTable::DiscreteInput, reg::VoltageLowAlarm,
           voltage < holding(reg::VoltageLowLimit));
}

} // namespace sim

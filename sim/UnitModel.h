#pragma once

#include "RegisterTable.h"

#include <array>
#include <cstdint>
#include <optional>
#include <random>
#include <string>

namespace sim {

// The controller as its registers show it: a configuration in the holding registers and a small
// thermal model behind the input registers, coils and discrete inputs. advance() moves it by one
// second. Values set by hand can be pinned so that the model leaves them alone.
class UnitModel {
public:
    UnitModel();

    [[nodiscard]] std::uint16_t value(RegisterTable table, int address) const;

    // Why the controller refuses to store this value, if it does (only its own address is
    // checked: it must stay a usable slave address, 1 to 255).
    [[nodiscard]] static std::optional<std::string> refusal(RegisterTable table, int address,
                                                            std::uint16_t value);

    // Stores a value as a bus write does, with the controller's immediate reactions: holding 27
    // moves the unit to a new address, holding 30 switches Temperature1 to the debug value and
    // back, coil 12 sets the force status. Bits are stored as 0 or 1. Returns false (and changes
    // nothing) when the value is refused.
    bool write(RegisterTable table, int address, std::uint16_t value);

    // Writes the value and holds it against the model until unpinned.
    bool pin(RegisterTable table, int address, std::uint16_t value);
    void unpin(RegisterTable table, int address);
    void unpinAll();
    [[nodiscard]] bool isPinned(RegisterTable table, int address) const;

    [[nodiscard]] int address() const;

    // Whether the simulator's clock drives advance(); the model itself does not look at it.
    [[nodiscard]] bool isRunning() const { return m_running; }
    void setRunning(bool running) { m_running = running; }

    // One second of the unit's life: temperatures and voltage drift, then the controller reacts.
    void advance();

private:
    struct Table {
        std::array<std::uint16_t, HoldingRegisterCount> values{};
        std::array<bool, HoldingRegisterCount> pinned{};
    };

    [[nodiscard]] const Table& table(RegisterTable table) const;
    [[nodiscard]] Table& table(RegisterTable table);
    [[nodiscard]] std::int16_t holding(int address) const;
    [[nodiscard]] std::int16_t input(int address) const;
    // The model's own updates, which pinned values ignore.
    void update(RegisterTable table, int address, int value);

    void loadDefaults();
    void refreshSensors();
    void refreshTemperature1();
    void control();
    void driveFanGroup(int groupBase, int firstFan, int temperature, bool forced, bool& running);
    void driveCompressor(int temperature, bool forced);
    void driveHeater(int temperature);
    void raiseAlarms();

    std::array<Table, 4> m_tables{};
    bool m_running = true;

    // Physical state behind the sensors, in degrees Celsius and volts.
    double m_cabinet = 27.0;
    double m_outside = 32.0;
    double m_coil = 27.0;
    double m_voltage = 48.0;
    long m_seconds = 0;
    std::minstd_rand m_noise{20240601};

    bool m_internalFansRunning = true;
    bool m_externalFansRunning = true;
    bool m_compressorOn = false;
    bool m_compressorRunning = false;
    bool m_heaterOn = false;
};

} // namespace sim

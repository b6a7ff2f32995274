#pragma once

#include "link/SerialPort.h"

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

// A serial port for tests, driven by a tick clock instead of a device.
//
// Input: bytes either arrive at once (feed) or at a given tick of the port's clock (arriveAt);
// advanceTick() moves the clock on and makes the bytes due at the new tick wait in the input
// queue. EngineDriver advances the clock once before every engine tick, so "tick k" means "the
// engine's k-th tick" there. Bytes that arrive while the port is not usable (not open, or lost)
// are dropped, as a closed device receives nothing.
//
// Output: every write, purge and read is recorded with the tick it happened in. While the port is
// not usable every operation fails without effect (bytesWaiting and read give 0, write and purge
// do nothing) and is only counted in ignoredCalls().
//
// Failures to script: the result of open(), refusal of line settings, and loseDevice() for a
// device that vanishes under the open port.
class FakeSerialPort : public climate::link::SerialPort {
public:
    struct Write {
        int tick = 0;
        std::vector<std::uint8_t> bytes;
    };
    struct Read {
        int tick = 0;
        std::uint32_t requested = 0;
        std::uint32_t delivered = 0;
    };
    // One operation that reached an open device, for checking the order within a tick.
    struct Operation {
        enum class Kind { Write, Purge, Read };
        int tick = 0;
        Kind kind = Kind::Write;
        bool operator==(const Operation&) const = default;
    };
    struct LineSettings {
        std::int32_t baudRate = 0;
        std::uint8_t dataBits = 0;
        bool accepted = false;
    };

    // --- SerialPort ---------------------------------------------------------------------------
    // Records the name; succeeds unless setOpenResult() scripted a failure. A successful open
    // starts with an empty input queue and clears a previous loss.
    OpenError open(const std::string& name) override;
    // Accepts baud > 0 with 5 ... 8 data bits (a driver refuses 4) unless refuseLineSettings().
    bool applyLineSettings(std::int32_t baudRate, std::uint8_t dataBits) override;
    // Closes and empties the input queue; scheduled arrivals stay scheduled.
    void close() override;
    [[nodiscard]] bool isOpen() const override { return m_open; }
    std::uint32_t bytesWaiting() override;
    void purgeInput() override;
    std::uint32_t read(std::uint8_t* destination, std::uint32_t count) override;
    void write(const std::uint8_t* data, std::uint32_t count) override;

    // --- scripting ----------------------------------------------------------------------------
    // Marks the port open or closed without recording an open or close (closing empties the
    // input queue). Engine tests start with setOpen(true).
    void setOpen(bool open);
    // Result of every following open() (None: success).
    void setOpenResult(OpenError result) { m_openResult = result; }
    // Every following applyLineSettings() fails (true) or follows the data-bit rule (false).
    void refuseLineSettings(bool refuse) { m_refuseSettings = refuse; }
    // The device vanishes: isOpen() stays true until close(), everything else fails.
    void loseDevice();
    [[nodiscard]] bool isLost() const { return m_lost; }

    // Bytes that wait in the input queue from now on (dropped if the port is not usable).
    void feed(std::span<const std::uint8_t> bytes);
    void feed(const std::vector<std::uint8_t>& bytes) { feed(std::span(bytes)); }
    // Bytes that join the input queue when the clock reaches `tick`; at once if it has.
    void arriveAt(int tick, std::span<const std::uint8_t> bytes);
    void arriveAt(int tick, const std::vector<std::uint8_t>& bytes) {
        arriveAt(tick, std::span(bytes));
    }

    // The clock: starts at 0.
    [[nodiscard]] int tick() const { return m_tick; }
    // Moves the clock on by one and delivers what is due at the new tick.
    void advanceTick();

    // --- records ------------------------------------------------------------------------------
    [[nodiscard]] const std::vector<Write>& writes() const { return m_writes; }
    // Tick of every purge that reached an open device, in order.
    [[nodiscard]] const std::vector<int>& purges() const { return m_purges; }
    [[nodiscard]] int purgesAt(int tick) const;
    [[nodiscard]] const std::vector<Read>& reads() const { return m_reads; }
    // Writes, purges and reads in the order they happened.
    [[nodiscard]] const std::vector<Operation>& operations() const { return m_operations; }
    // The kinds of the operations of one tick, in order.
    [[nodiscard]] std::vector<Operation::Kind> operationsAt(int tick) const;
    [[nodiscard]] const std::vector<std::string>& openedNames() const { return m_openedNames; }
    [[nodiscard]] const std::vector<LineSettings>& lineSettings() const { return m_lineSettings; }
    [[nodiscard]] int closeCount() const { return m_closeCount; }
    // Operations attempted while the port was not usable (and so without effect).
    [[nodiscard]] int ignoredCalls() const { return m_ignoredCalls; }
    // Bytes waiting now (does not count as an operation).
    [[nodiscard]] std::size_t waiting() const { return m_input.size(); }
    // Bytes dropped because they arrived while the port was not usable.
    [[nodiscard]] std::size_t droppedBytes() const { return m_droppedBytes; }
    // Forgets writes, purges, reads, operations, opens, settings, closes and ignored calls.
    void clearRecords();

private:
    [[nodiscard]] bool usable() const { return m_open && !m_lost; }
    void receive(std::span<const std::uint8_t> bytes);

    bool m_open = false;
    bool m_lost = false;
    bool m_refuseSettings = false;
    OpenError m_openResult = OpenError::None;
    int m_tick = 0;
    std::vector<std::uint8_t> m_input;
    std::multimap<int, std::vector<std::uint8_t>> m_scheduled;

    std::vector<Write> m_writes;
    std::vector<int> m_purges;
    std::vector<Read> m_reads;
    std::vector<Operation> m_operations;
    std::vector<std::string> m_openedNames;
    std::vector<LineSettings> m_lineSettings;
    int m_closeCount = 0;
    int m_ignoredCalls = 0;
    std::size_t m_droppedBytes = 0;
};

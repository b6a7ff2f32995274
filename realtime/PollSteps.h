#pragma once

#include "link/ModbusFrame.h"
#include "link/Transaction.h"

#include <array>
#include <cstdint>
#include <span>

namespace climate::link {
class TestLogSink;
struct TestLogRow;
} // namespace climate::link

namespace climate::realtime {

struct LiveData;
struct RealTimeView;

// One step of the RealTimeData polling circle: what it reads, how it decodes the reply into the
// live record and how it shows it (no display for the alarm inputs: the blinking LEDs show them).
struct PollStepRow {
    link::RequestShape shape;
    bool moveOnAtBadCrc = false;
    void (*decode)(std::span<const std::uint8_t> reply, LiveData& live) = nullptr;
    void (*show)(const LiveData& live, const RealTimeView& view) = nullptr;
};

// The circle, in order: status coils, alarm inputs (a bad CRC moves on at once), compressor
// settings, measurements.
[[nodiscard]] std::span<const PollStepRow, 4> pollSteps();

// A poll step made of its row.
class PollStep : public link::PollTransaction {
public:
    PollStep(const PollStepRow& row, LiveData& live, const RealTimeView& view);

protected:
    void decode(std::span<const std::uint8_t> reply) override;
    [[nodiscard]] const LiveData& live() const { return m_live; }

private:
    const PollStepRow& m_row;
    LiveData& m_live;
    const RealTimeView& m_view;
};

// The measurements step also paces the test log: after a good reply it hands a row to the log
// once more than 20 Timer1 ticks have passed since the last row.
class MeasurementsStep : public PollStep {
public:
    static constexpr std::uint32_t LogDueAfterTicks = 20;
    static constexpr std::uint32_t LogTickLimit = 10000;

    // `log` may be null.
    MeasurementsStep(LiveData& live, const RealTimeView& view, link::TestLogSink* log);

    // One Timer1 tick (the count stops at LogTickLimit).
    void countTimer1Tick();
    [[nodiscard]] std::uint32_t logTickCount() const { return m_logTickCount; }
    void setLogTickCount(std::uint32_t ticks) { m_logTickCount = ticks; }

    // The test-log row of a live record.
    [[nodiscard]] static link::TestLogRow logRow(const LiveData& live);

protected:
    void afterDecode() override;

private:
    link::TestLogSink* m_log = nullptr;
    std::uint32_t m_logTickCount = 0;
};

} // namespace climate::realtime

#pragma once

#include "FaultPlan.h"
#include "ModbusResponder.h"
#include "RequestStats.h"

#include <cstdint>
#include <span>
#include <vector>

namespace sim {

class UnitModel;

// The unit as a slave on the line: takes a request frame, decides whether it is addressed to the
// unit, lets the responder answer it and the fault plan spoil the answer. No I/O of its own.
class UnitServer {
public:
    UnitServer(UnitModel& model, FaultPlan& faults);

    // What to send back for one request frame (CRC checked); empty when the unit stays quiet:
    // another slave address, broadcast (address 0, never answered on this line), or silence.
    [[nodiscard]] std::vector<ReplyChunk> serve(std::span<const std::uint8_t> request);

    [[nodiscard]] const RequestStats& stats() const { return m_stats; }
    [[nodiscard]] RequestStats& stats() { return m_stats; }

private:
    UnitModel& m_model;
    FaultPlan& m_faults;
    ModbusResponder m_responder;
    RequestStats m_stats;
};

} // namespace sim

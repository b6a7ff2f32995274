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

    [[nodiscard]] const RequestStats& stats() const { return stats_; }
    [[nodiscard]] RequestStats& stats() { return stats_; }

private:
    UnitModel& model_;
    FaultPlan& faults_;
    ModbusResponder responder_;
    RequestStats stats_;
};

} // namespace sim

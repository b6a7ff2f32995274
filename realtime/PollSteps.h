#pragma once

#include "LiveDataModel.h"
#include "PollCircle.h"
#include "link/Transaction.h"

#include <cstdint>
#include <span>

namespace climate::realtime {

// A poll step made of its row of the circle: it decodes an accepted reply into the model's record
// and, once the circle has moved on, publishes the group.
class PollStep : public link::PollTransaction {
public:
    PollStep(const PollRead& read, LiveDataModel& model);

protected:
    void decode(std::span<const std::uint8_t> reply) override;
    void afterDecode() override;

private:
    const PollRead& m_read;
    LiveDataModel& m_model;
};

} // namespace climate::realtime

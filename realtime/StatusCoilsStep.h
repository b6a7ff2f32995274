#pragma once

#include "link/Transaction.h"

struct LiveData;
struct RealTimeView;

// Step 0 of the polling circle: coils 0 ... 15, shown on the status LEDs, the rotary switches and
// the rocker.
class StatusCoilsStep : public PollTransaction {
public:
    StatusCoilsStep(LiveData& live, const RealTimeView& view);

protected:
    void decode(CommEngine& engine) override;

private:
    LiveData& m_live;
    const RealTimeView& m_view;
};

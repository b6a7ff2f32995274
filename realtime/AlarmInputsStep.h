#pragma once

#include "link/Transaction.h"

struct LiveData;

// Step 1 of the polling circle: discrete inputs 0 ... 17, only stored; the blinking alarm LEDs
// show them. Unlike the other steps, a reply with a bad CRC moves the circle on at once.
class AlarmInputsStep : public PollTransaction {
public:
    explicit AlarmInputsStep(LiveData& live);

protected:
    void decode(CommEngine& engine) override;

private:
    LiveData& m_live;
};

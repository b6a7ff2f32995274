#pragma once

#include "link/Transaction.h"

struct LiveData;
struct RealTimeView;

// Step 2 of the polling circle: holding registers 41 ... 43, the compressor's start temperature
// and temperature difference, shown in Edit3 and Edit32.
class CompressorSettingsStep : public PollTransaction {
public:
    CompressorSettingsStep(LiveData& live, const RealTimeView& view);

protected:
    void decode(CommEngine& engine) override;

private:
    LiveData& m_live;
    const RealTimeView& m_view;
};

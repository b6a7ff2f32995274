#pragma once

#include "CurveView.h"
#include "FanCurveRecords.h"

#include "link/CommEngine.h"

namespace climate::curves {

class FanCurveReads;
struct FanCurveParameters;

// The Declaration page: "DrawIntfan" and "DrawExtfan" post a read of the internal or external
// fan group, and the plot shows the records the reads fill: the internal fans' curve on channel 0,
// the external fans' on channel 1, the one drawn last on top, the other staying as it was.
class FanCurves {
public:
    static constexpr int IntfanChannel = FanCurveRecords::InternalFans;
    static constexpr int ExtfanChannel = FanCurveRecords::ExternalFans;
    static constexpr int TopLayer = 101;
    static constexpr int LowerLayer = 100;

    // The plot of `view` follows the records of `reads` from now on.
    FanCurves(link::CommEngine& engine, FanCurveReads& reads, const CurveView& view);

    void Button16Click(); // "DrawIntfan"
    void Button17Click(); // "DrawExtfan"

    // The parameters of the last good read of each group (zero until then).
    [[nodiscard]] const FanCurveParameters& internalFans() const;
    [[nodiscard]] const FanCurveParameters& externalFans() const;

private:
    void postDraw(FanCurveRecords::Group group);

    link::CommEngine& m_engine;
    FanCurveReads& m_reads;
    CurveView m_view;
};

} // namespace climate::curves

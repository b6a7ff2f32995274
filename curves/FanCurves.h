#pragma once

#include "CurveView.h"
#include "FanCurveRead.h"

#include "link/CommEngine.h"
#include "link/Commands.h"

#include <cstdint>

namespace climate::curves {

struct FanCurveParameters;

// The Declaration page: "DrawIntfan" and "DrawExtfan" post a read of the internal or external
// fan group; the engine runs it and the read draws the curve on channel 0 (Intfan) or 1
// (Extfan). The latest curve is put on top and the other channel's curve stays.
class FanCurves {
public:
    static constexpr std::uint8_t DrawIntfanCode = link::Command::DrawIntfan.code;
    static constexpr std::uint8_t DrawExtfanCode = link::Command::DrawExtfan.code;
    static constexpr int IntfanChannel = 0;
    static constexpr int ExtfanChannel = 1;
    static constexpr int TopLayer = 101;
    static constexpr int LowerLayer = 100;

    // Registers both reads with the engine as Declaration commands 1 and 2.
    FanCurves(link::CommEngine& engine, const CurveView& view);
    ~FanCurves();
    FanCurves(const FanCurves&) = delete;
    FanCurves& operator=(const FanCurves&) = delete;

    void Button16Click(); // "DrawIntfan"
    void Button17Click(); // "DrawExtfan"

    // The parameters of the last good read of each group (zero until then).
    [[nodiscard]] const FanCurveParameters& internalFans() const { return m_intfan.parameters(); }
    [[nodiscard]] const FanCurveParameters& externalFans() const { return m_extfan.parameters(); }

private:
    void postDraw(std::uint8_t code, int channel, int otherChannel);

    link::CommEngine& m_engine;
    CurveView m_view;
    FanCurveRead m_intfan;
    FanCurveRead m_extfan;
    link::CommEngine::Registration m_intfanRegistration;
    link::CommEngine::Registration m_extfanRegistration;
};

} // namespace climate::curves

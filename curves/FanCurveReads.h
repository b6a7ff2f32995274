#pragma once

#include "FanCurveRead.h"
#include "FanCurveRecords.h"

#include "link/CommEngine.h"
#include "link/Commands.h"

#include <cstdint>

namespace climate::curves {

// The two fan-curve reads, registered with the engine as Declaration commands 1 (internal fans)
// and 2 (external fans), and the records they fill.
class FanCurveReads {
public:
    static constexpr std::uint8_t DrawIntfanCode = link::Command::DrawIntfan.code;
    static constexpr std::uint8_t DrawExtfanCode = link::Command::DrawExtfan.code;

    explicit FanCurveReads(link::CommEngine& engine);

    // Clears the group's curve, puts it on top and posts its read. The caller has checked that
    // the engine takes a command now.
    void post(FanCurveRecords::Group group);

    [[nodiscard]] FanCurveRecords& records() { return m_records; }
    [[nodiscard]] const FanCurveRecords& records() const { return m_records; }

private:
    link::CommEngine& m_engine;
    FanCurveRecords m_records;
    FanCurveRead m_intfan;
    FanCurveRead m_extfan;
    link::CommEngine::Registration m_intfanRegistration;
    link::CommEngine::Registration m_extfanRegistration;
};

} // namespace climate::curves

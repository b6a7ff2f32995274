#pragma once

#include "LiveCommandInputs.h"
#include "LiveCommandTransaction.h"

#include <cstdint>

namespace climate::realtime {

// Live command 2: forces output coil 12 on or off (function 5). On a matching echo the rocker's
// position is set to the state written; otherwise it keeps the state the click gave it until the
// next poll.
class ForcedOutputCommand : public LiveCommandTransaction {
public:
    static constexpr std::uint16_t ForceOn = 0xFF00;
    static constexpr std::uint16_t ForceOff = 0x0000;

    explicit ForcedOutputCommand(LiveCommandInputs& inputs);

    // ForceCoilValue, set by the rocker's click before it posts the command.
    void setForceCoilValue(std::uint16_t value) { m_forceCoilValue = value; }
    [[nodiscard]] std::uint16_t forceCoilValue() const { return m_forceCoilValue; }

protected:
    [[nodiscard]] std::uint16_t value() const override { return m_forceCoilValue; }
    [[nodiscard]] link::UserMessage failureMessage() const override;
    link::UserMessage acceptEcho(std::uint16_t echo) override;

private:
    LiveCommandInputs& m_inputs;
    std::uint16_t m_forceCoilValue = ForceOn;
};

} // namespace climate::realtime

#pragma once

#include "LiveCommandInputs.h"
#include "LiveCommandTransaction.h"

#include <cstdint>
#include <string_view>

namespace climate::realtime {

// The value written into holding register 30 for a typed debug temperature: tenths of a degree,
// truncated toward zero from the decimal number exactly as typed (25.3 gives 253), or
// OutOfRange for a temperature below -40 or from 100 on. A text that is not a number throws
// ConversionError.
[[nodiscard]] std::int16_t debugTemperatureValue(std::string_view text);

// Live command 1: writes the debug temperature into holding register 30 (function 6). The
// controller echoes the value when it adopts it.
class DebugTemperatureCommand : public LiveCommandTransaction {
public:
    static constexpr std::int16_t OutOfRange = 1100;

    // The debug temperature's text of `inputs` is emptied once the box of a reply has been
    // closed.
    explicit DebugTemperatureCommand(LiveCommandInputs& inputs);

    // DebugTempValue, set by the Send button before it posts the command.
    void setDebugTempValue(std::int16_t tenths) { m_debugTempValue = tenths; }
    [[nodiscard]] std::int16_t debugTempValue() const { return m_debugTempValue; }

protected:
    [[nodiscard]] std::uint16_t value() const override;
    [[nodiscard]] link::UserMessage failureMessage() const override;
    link::UserMessage acceptEcho(std::uint16_t echo) override;
    void afterReplyBoxClosed() override;

private:
    LiveCommandInputs& m_inputs;
    std::int16_t m_debugTempValue = 0;
};

} // namespace climate::realtime

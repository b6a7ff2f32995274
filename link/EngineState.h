#pragma once

#include "ModbusFrame.h"

#include <array>
#include <cstdint>
#include <span>

namespace climate::link {

// The engine's state. Only CommEngine writes it; everyone else reads it through
// CommEngine::state() and changes it through the engine's named operations.
struct EngineState {
    static constexpr std::uint8_t NoCommand = 20;
    static constexpr std::size_t RxCapacity = 1000;
    static constexpr std::size_t ChunkCapacity = 1024;

    std::uint32_t DeviceAddress = 1; // always 0 ... 255
    std::uint8_t PageMode = 0;       // page whose cycle ran last
    std::uint8_t PollStep = 0;       // 0 ... 3
    bool SendPending = true;         // the next tick sends; otherwise collecting the reply
    std::uint8_t PendingCommand = 0; // inert while CommandBusy is false
    bool CommandBusy = false;
    std::uint8_t LiveCommand = 0; // 0 none, 1 debug temperature, 2 forced output
    std::int32_t ReplyWaitTicks = 0;
    ModbusFrame TxFrame;                            // TxFrame.length is TxLength
    std::array<std::uint8_t, RxCapacity> RxFrame{}; // bytes collected for the current reply
    std::uint32_t RxLength = 0;                     // never exceeds RxCapacity
    std::array<std::uint8_t, ChunkCapacity> RxChunk{};
    std::uint8_t LinkAliveTicks = 0; // Timer1 ticks left before the link counts as lost

    [[nodiscard]] std::span<const std::uint8_t> reply() const { return {RxFrame.data(), RxLength}; }
};

} // namespace climate::link

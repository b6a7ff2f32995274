#pragma once

#include "ModbusFrame.h"

#include <array>
#include <cstdint>
#include <span>

// The engine's shared state. The button handlers write only the posting flags (through
// CommEngine::postCommand / postLiveCommand) and the Comm/Address switch writes DeviceAddress;
// everything else belongs to the engine.
struct EngineState {
    static constexpr std::uint8_t NoCommand = 20;
    static constexpr std::size_t RxCapacity = 1000;
    static constexpr std::size_t ChunkCapacity = 1024;

    std::uint32_t DeviceAddress = 1; // always 0 ... 255
    std::uint8_t PageMode = 0;       // page whose cycle ran last
    std::uint8_t PollStep = 0;       // 0 ... 3
    std::uint8_t SendPending = 1;    // 1: next tick sends; 0: collecting the reply
    std::uint8_t PendingCommand = 0; // inert while CommandBusy is 0
    std::uint8_t CommandBusy = 0;
    std::uint8_t LiveCommand = 0; // 0 none, 1 debug temperature, 2 forced output
    std::int32_t ReplyWaitTicks = 0;
    ModbusFrame TxFrame;                            // TxFrame.length is TxLength
    std::array<std::uint8_t, RxCapacity> RxFrame{}; // bytes collected for the current reply
    std::uint32_t RxLength = 0;                     // never exceeds RxCapacity
    std::array<std::uint8_t, ChunkCapacity> RxChunk{};
    std::uint8_t LinkAliveTicks = 0; // Timer1 ticks left before the link counts as lost

    [[nodiscard]] std::span<const std::uint8_t> reply() const { return {RxFrame.data(), RxLength}; }
    // Register k of a function 3/4 reply, high byte first.
    [[nodiscard]] std::uint16_t replyRegister(std::size_t k) const {
        return static_cast<std::uint16_t>(RxFrame[3 + 2 * k] << 8 | RxFrame[4 + 2 * k]);
    }
    // Coil or input n of a function 1/2 reply.
    [[nodiscard]] bool replyBit(std::size_t n) const { return (RxFrame[3 + n / 8] >> (n % 8)) & 1; }
};

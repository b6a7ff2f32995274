#pragma once

#include "link/CommEngine.h"

#include <cstdint>

// Puts an engine into a state a test starts from, as if earlier ticks had led there. The only
// code outside the engine that writes its state; features go through the engine's operations.
class EngineStaging {
public:
    explicit EngineStaging(climate::link::CommEngine& engine) : m_state(engine.m_state) {}

    // The polling circle stands at `step`.
    EngineStaging& pollStep(std::uint8_t step) {
        m_state.PollStep = step;
        return *this;
    }
    // true: the next tick sends; false: the engine is collecting a reply.
    EngineStaging& sendPending(bool pending) {
        m_state.SendPending = pending;
        return *this;
    }
    EngineStaging& linkAliveTicks(std::uint8_t ticks) {
        m_state.LinkAliveTicks = ticks;
        return *this;
    }
    EngineStaging& deviceAddress(std::uint32_t address) {
        m_state.DeviceAddress = address;
        return *this;
    }
    // `collected` bytes of the reply are in, after `waitTicks` receive ticks.
    EngineStaging& replyProgress(std::uint32_t collected, std::int32_t waitTicks) {
        m_state.RxLength = collected;
        m_state.ReplyWaitTicks = waitTicks;
        return *this;
    }

private:
    climate::link::EngineState& m_state;
};

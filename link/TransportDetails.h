#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>

namespace climate::link {

// What the port layer saw of received bytes that the engine, which only looks at its ticks,
// cannot know: when they arrived and when the request before them had left. A network transport
// also hands over the framing it wrapped the bytes in (a serial line has none).
struct TransportDetails {
    using Clock = std::chrono::steady_clock;

    // When the first of the bytes arrived at the port layer.
    std::optional<Clock::time_point> firstByte;
    // When the last request written had been handed to the driver in full.
    std::optional<Clock::time_point> requestDone;
    // Transport framing around the bytes; valid only during the call that carries it.
    std::span<const std::uint8_t> framing;
};

} // namespace climate::link

#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace sim {

// Cuts the byte stream a master sends into RTU request frames. A pseudo-terminal keeps no
// character timing, so frames are found by their length (known from the function code for
// functions 1 to 6, 15 and 16) and their CRC; a frame of another function is taken whole once
// the line has been quiet for `gap`. Bytes that start no valid frame are skipped one at a time,
// so a request that follows noise is still found; a partial frame is given up after `gap`.
class RequestFramer {
public:
    using Clock = std::chrono::steady_clock;

    explicit RequestFramer(std::chrono::milliseconds gap = std::chrono::milliseconds(50));

    void feed(std::span<const std::uint8_t> bytes, Clock::time_point now);

    // The next complete request with a valid CRC, if there is one by now.
    [[nodiscard]] std::optional<std::vector<std::uint8_t>> next(Clock::time_point now);

    // When the bytes held now will be given up or taken whole, if any are held.
    [[nodiscard]] std::optional<Clock::time_point> deadline() const;

    [[nodiscard]] std::size_t skippedBytes() const { return m_skipped; }

    void reset();

private:
    // Whether a complete request with a valid CRC starts after the first byte: the bytes before it
    // are noise and need not wait for the line to fall quiet.
    [[nodiscard]] bool completeFrameLater() const;
    void skipOne();

    std::chrono::milliseconds m_gap;
    std::vector<std::uint8_t> m_buffer;
    Clock::time_point m_lastByte{};
    std::size_t m_skipped = 0;
};

} // namespace sim

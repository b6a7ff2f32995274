#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace sim {

// What the unit has heard and answered since start (or the last reset).
struct RequestStats {
    static constexpr std::array<std::uint8_t, 7> CountedFunctions{1, 2, 3, 4, 5, 6, 16};

    long requests = 0; // frames addressed to the unit
    std::array<long, CountedFunctions.size()> perFunction{};
    long otherFunctions = 0;
    long ignored = 0;    // frames for another slave address or broadcast
    long silenced = 0;   // requests dropped while silent
    long exceptions = 0; // exception replies sent
    long replies = 0;
    long skippedBytes = 0; // line bytes that started no valid frame

    void countRequest(std::uint8_t function);

    // "requests=N fc1=N ... fc16=N other=N ignored=N silenced=N exceptions=N replies=N skipped=N"
    [[nodiscard]] std::string format() const;
};

} // namespace sim

// The simulator's request framer on an arbitrary byte stream fed in arbitrary pieces at
// arbitrary times: it never crashes, every request it gives out has a valid CRC and a length a
// request can have (at most 9 + 255 bytes), it gives out no more bytes than it was fed, and it
// holds nothing once the line has been quiet for longer than its gap.
#include "RequestFramer.h"
#include "RtuCrc.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace std::chrono_literals;
    FuzzedDataProvider input(data, size);
    sim::RequestFramer framer(50ms);
    auto now = sim::RequestFramer::Clock::time_point{} + 1h;
    std::size_t fed = 0;
    std::size_t taken = 0;

    auto drain = [&] {
        while (auto request = framer.next(now)) {
            if (request->size() < 4 || request->size() > 264 || !sim::hasValidCrc(*request))
                std::abort();
            taken += request->size();
        }
        if (taken + framer.skippedBytes() > fed)
            std::abort();
    };

    while (input.remaining_bytes() > 0) {
        const auto piece = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(1, 300));
        if (input.ConsumeBool()) {
            // Half the time, a valid request of a known function goes out inside the noise.
            std::vector<std::uint8_t> frame = piece;
            frame.resize(6);
            frame[1] = input.PickValueInArray({1, 2, 3, 4, 5, 6});
            sim::appendCrc(frame);
            framer.feed(frame, now);
            fed += frame.size();
        }
        framer.feed(piece, now);
        fed += piece.size();
        now += std::chrono::milliseconds(input.ConsumeIntegralInRange(0, 120));
        drain();
    }
    now += 1s;
    drain();
    if (framer.deadline())
        std::abort(); // bytes held although the line has been quiet for a second
    return 0;
}

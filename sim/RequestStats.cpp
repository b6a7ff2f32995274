#include "RequestStats.h"

namespace sim {

void RequestStats::countRequest(std::uint8_t function) {
    ++requests;
    for (std::size_t i = 0; i < CountedFunctions.size(); ++i) {
        if (CountedFunctions[i] == function) {
            ++perFunction[i];
            return;
        }
    }
    ++otherFunctions;
}

std::string RequestStats::format() const {
    std::string text = "requests=" + std::to_string(requests);
    for (std::size_t i = 0; i < CountedFunctions.size(); ++i) {
        text += " fc" + std::to_string(CountedFunctions[i]) + "=" + std::to_string(perFunction[i]);
    }
    text += " other=" + std::to_string(otherFunctions);
    text += " ignored=" + std::to_string(ignored);
    text += " silenced=" + std::to_string(silenced);
    text += " exceptions=" + std::to_string(exceptions);
    text += " replies=" + std::to_string(replies);
    text += " skipped=" + std::to_string(skippedBytes);
    return text;
}

} // namespace sim

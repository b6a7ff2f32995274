#include "FaultPlan.h"

#include "RtuCrc.h"

#include <algorithm>

namespace sim {

namespace {

constexpr std::uint8_t WriteSingleRegister = 6;
constexpr std::uint16_t DebugTemperatureRegister = 30;

std::string countText(int remaining) {
    return remaining == FaultPlan::Forever ? "always" : std::to_string(remaining);
}

} // namespace

void FaultPlan::armWrongAddress(std::optional<std::uint8_t> address, int count) {
    wrongAddress_.remaining = count;
    wrongAddressValue_ = address;
}

void FaultPlan::armWrongFunction(int count) {
    wrongFunction_.remaining = count;
}

void FaultPlan::armBadCrc(int count) {
    badCrc_.remaining = count;
}

void FaultPlan::armException(std::uint8_t code, int count) {
    exception_.remaining = count;
    exceptionCode_ = code;
}

void FaultPlan::armSplit(int chunkBytes, std::chrono::milliseconds gap, int count) {
    split_.remaining = count;
    splitBytes_ = std::max(chunkBytes, 1);
    splitGap_ = gap;
}

void FaultPlan::clear() {
    *this = FaultPlan();
}

std::optional<std::uint8_t> FaultPlan::takeException() {
    if (!exception_.take())
        return std::nullopt;
    return exceptionCode_;
}

std::vector<ReplyChunk> FaultPlan::shape(std::vector<std::uint8_t> reply, std::uint8_t ownAddress) {
    if (reply.size() < 4)
        return {};

    if (debugReply_ && reply.size() == 8 && reply[1] == WriteSingleRegister &&
        (reply[2] << 8 | reply[3]) == DebugTemperatureRegister) {
        reply[4] = static_cast<std::uint8_t>(*debugReply_ >> 8);
        reply[5] = static_cast<std::uint8_t>(*debugReply_ & 0xFF);
        refreshCrc(reply);
    }
    // Header faults keep a valid CRC, so the master sees a well-formed reply from the wrong
    // slave or for the wrong function.
    if (wrongAddress_.take()) {
        reply[0] = wrongAddressValue_.value_or(static_cast<std::uint8_t>(ownAddress + 1));
        if (reply[0] == ownAddress)
            reply[0] = static_cast<std::uint8_t>(ownAddress + 1);
        refreshCrc(reply);
    }
    if (wrongFunction_.take()) {
        // Odd codes move up, even codes down: 1<->2, 3<->4, 5<->6, 15<->16, 0x83<->0x84.
        reply[1] = static_cast<std::uint8_t>(reply[1] % 2 == 1 ? reply[1] + 1 : reply[1] - 1);
        refreshCrc(reply);
    }
    if (badCrc_.take())
        reply.back() ^= 0xFF;

    std::vector<ReplyChunk> chunks;
    if (split_.take()) {
        for (std::size_t at = 0; at < reply.size(); at += static_cast<std::size_t>(splitBytes_)) {
            const auto end = std::min(reply.size(), at + static_cast<std::size_t>(splitBytes_));
            chunks.push_back({chunks.empty() ? delay_ : splitGap_,
                              std::vector<std::uint8_t>(reply.begin() + static_cast<long>(at),
                                                        reply.begin() + static_cast<long>(end))});
        }
    } else {
        chunks.push_back({delay_, std::move(reply)});
    }
    return chunks;
}

std::string FaultPlan::describe() const {
    std::string text = "silent=" + std::string(silent_ ? "on" : "off") +
                       " delay=" + std::to_string(delay_.count());
    text += " debugreply=" + (debugReply_ ? std::to_string(*debugReply_) : std::string("off"));
    if (wrongAddress_.armed())
        text += " wrongaddress=" +
                (wrongAddressValue_ ? std::to_string(*wrongAddressValue_) : std::string("next")) +
                "x" + countText(wrongAddress_.remaining);
    if (wrongFunction_.armed())
        text += " wrongfunction=x" + countText(wrongFunction_.remaining);
    if (badCrc_.armed())
        text += " badcrc=x" + countText(badCrc_.remaining);
    if (exception_.armed())
        text +=
            " exception=" + std::to_string(exceptionCode_) + "x" + countText(exception_.remaining);
    if (split_.armed())
        text += " split=" + std::to_string(splitBytes_) + "/" + std::to_string(splitGap_.count()) +
                "x" + countText(split_.remaining);
    return text;
}

} // namespace sim

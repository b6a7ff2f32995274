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
    m_wrongAddress.remaining = count;
    m_wrongAddressValue = address;
}

void FaultPlan::armWrongFunction(int count) {
    m_wrongFunction.remaining = count;
}

void FaultPlan::armBadCrc(int count) {
    m_badCrc.remaining = count;
}

void FaultPlan::armException(std::uint8_t code, int count) {
    m_exception.remaining = count;
    m_exceptionCode = code;
}

void FaultPlan::armSplit(int chunkBytes, std::chrono::milliseconds gap, int count) {
    m_split.remaining = count;
    m_splitBytes = std::max(chunkBytes, 1);
    m_splitGap = gap;
}

void FaultPlan::clear() {
    *this = FaultPlan();
}

std::optional<std::uint8_t> FaultPlan::takeException() {
    if (!m_exception.take())
        return std::nullopt;
    return m_exceptionCode;
}

std::vector<ReplyChunk> FaultPlan::shape(std::vector<std::uint8_t> reply, std::uint8_t ownAddress) {
    if (reply.size() < 4)
        return {};

    if (m_debugReply && reply.size() == 8 && reply[1] == WriteSingleRegister &&
        (reply[2] << 8 | reply[3]) == DebugTemperatureRegister) {
        reply[4] = static_cast<std::uint8_t>(*m_debugReply >> 8);
        reply[5] = static_cast<std::uint8_t>(*m_debugReply & 0xFF);
        refreshCrc(reply);
    }
    // Header faults keep a valid CRC, so the master sees a well-formed reply from the wrong
    // slave or for the wrong function.
    if (m_wrongAddress.take()) {
        reply[0] = m_wrongAddressValue.value_or(static_cast<std::uint8_t>(ownAddress + 1));
        if (reply[0] == ownAddress)
            reply[0] = static_cast<std::uint8_t>(ownAddress + 1);
        refreshCrc(reply);
    }
    if (m_wrongFunction.take()) {
        // Odd codes move up, even codes down: 1<->2, 3<->4, 5<->6, 15<->16, 0x83<->0x84.
        reply[1] = static_cast<std::uint8_t>(reply[1] % 2 == 1 ? reply[1] + 1 : reply[1] - 1);
        refreshCrc(reply);
    }
    if (m_badCrc.take())
        reply.back() ^= 0xFF;

    std::vector<ReplyChunk> chunks;
    if (m_split.take()) {
        for (std::size_t at = 0; at < reply.size(); at += static_cast<std::size_t>(m_splitBytes)) {
            const auto end = std::min(reply.size(), at + static_cast<std::size_t>(m_splitBytes));
            chunks.push_back({chunks.empty() ? m_delay : m_splitGap,
                              std::vector<std::uint8_t>(reply.begin() + static_cast<long>(at),
                                                        reply.begin() + static_cast<long>(end))});
        }
    } else {
        chunks.push_back({m_delay, std::move(reply)});
    }
    return chunks;
}

std::string FaultPlan::describe() const {
    std::string text = "silent=" + std::string(m_silent ? "on" : "off") +
                       " delay=" + std::to_string(m_delay.count());
    text += " debugreply=" + (m_debugReply ? std::to_string(*m_debugReply) : std::string("off"));
    if (m_wrongAddress.armed())
        text += " wrongaddress=" +
                (m_wrongAddressValue ? std::to_string(*m_wrongAddressValue) : std::string("next")) +
                "x" + countText(m_wrongAddress.remaining);
    if (m_wrongFunction.armed())
        text += " wrongfunction=x" + countText(m_wrongFunction.remaining);
    if (m_badCrc.armed())
        text += " badcrc=x" + countText(m_badCrc.remaining);
    if (m_exception.armed())
        text +=
            " exception=" + std::to_string(m_exceptionCode) + "x" + countText(m_exception.remaining);
    if (m_split.armed())
        text += " split=" + std::to_string(m_splitBytes) + "/" + std::to_string(m_splitGap.count()) +
                "x" + countText(m_split.remaining);
    return text;
}

} // namespace sim

#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

// Part of a reply as it goes on the line: the bytes, written after waiting `delay` (counted from
// the request for the first chunk, from the previous chunk for the others).
struct ReplyChunk {
    std::chrono::milliseconds delay{0};
    std::vector<std::uint8_t> bytes;
};

// Faults to inject into the unit's answers. Steady faults (silence, delay, debug reply) hold until
// switched off; the others apply to the next reply only, or to the next `count` replies, or
// until clear() when armed with Forever.
class FaultPlan {
public:
    static constexpr int Forever = -1;

    void setSilent(bool silent) { m_silent = silent; }
    [[nodiscard]] bool isSilent() const { return m_silent; }
    void setDelay(std::chrono::milliseconds delay) { m_delay = delay; }
    void setDebugReply(std::optional<std::uint16_t> value) { m_debugReply = value; }

    // No address means "own address + 1".
    void armWrongAddress(std::optional<std::uint8_t> address, int count = 1);
    void armWrongFunction(int count = 1);
    void armBadCrc(int count = 1);
    void armException(std::uint8_t code, int count = 1);
    void armSplit(int chunkBytes, std::chrono::milliseconds gap, int count = 1);

    // Switches every fault off.
    void clear();

    // Exception code to answer the next request with, if one is armed; uses up one count.
    [[nodiscard]] std::optional<std::uint8_t> takeException();

    // Turns the unit's reply (CRC included) into what goes on the line, using up one count of
    // each one-shot fault that applies.
    [[nodiscard]] std::vector<ReplyChunk> shape(std::vector<std::uint8_t> reply,
                                                std::uint8_t ownAddress);

    // One line listing what is armed, for the console.
    [[nodiscard]] std::string describe() const;

private:
    struct Countdown {
        int remaining = 0; // Forever or the replies still to fault

        [[nodiscard]] bool armed() const { return remaining != 0; }
        bool take() {
            if (remaining == 0)
                return false;
            if (remaining > 0)
                --remaining;
            return true;
        }
    };

    bool m_silent = false;
    std::chrono::milliseconds m_delay{0};
    std::optional<std::uint16_t> m_debugReply;
    Countdown m_wrongAddress;
    std::optional<std::uint8_t> m_wrongAddressValue;
    Countdown m_wrongFunction;
    Countdown m_badCrc;
    Countdown m_exception;
    std::uint8_t m_exceptionCode = 0;
    Countdown m_split;
    int m_splitBytes = 1;
    std::chrono::milliseconds m_splitGap{0};
};

} // namespace sim

#include "Replies.h"

#include "support/FrameHex.h"

std::vector<std::uint8_t> bitsReply(std::uint8_t function, std::initializer_list<std::uint8_t> data,
                                    std::uint8_t address) {
    std::vector<std::uint8_t> bytes{address, function, static_cast<std::uint8_t>(data.size())};
    bytes.insert(bytes.end(), data.begin(), data.end());
    return withCrc(bytes);
}

std::vector<std::uint8_t> registersReply(std::uint8_t function,
                                         const std::vector<std::uint16_t>& words,
                                         std::uint8_t address) {
    std::vector<std::uint8_t> bytes{address, function, static_cast<std::uint8_t>(2 * words.size())};
    for (std::uint16_t word : words) {
        bytes.push_back(static_cast<std::uint8_t>(word >> 8));
        bytes.push_back(static_cast<std::uint8_t>(word & 0xFF));
    }
    return withCrc(bytes);
}

std::vector<std::uint8_t> coilsReply(std::uint8_t coils0to7, std::uint8_t coils8to15) {
    return bitsReply(1, {coils0to7, coils8to15});
}

std::vector<std::uint8_t> inputsReply(std::uint32_t inputBits) {
    return bitsReply(2, {static_cast<std::uint8_t>(inputBits & 0xFF),
                         static_cast<std::uint8_t>(inputBits >> 8 & 0xFF),
                         static_cast<std::uint8_t>(inputBits >> 16 & 0x03)});
}

std::vector<std::uint8_t> settingsReply(std::uint16_t setTemp, std::uint16_t delta) {
    return registersReply(3, {setTemp, delta, 0});
}

std::vector<std::uint8_t> measurementsReply(const std::array<std::uint16_t, 14>& r) {
    return registersReply(4, std::vector<std::uint16_t>(r.begin(), r.end()));
}

std::array<std::uint16_t, 14> typicalMeasurements() {
    return {1200, 1300, 2400,   2500, 253, static_cast<std::uint16_t>(-55), 482, 3100, 125,
            0,    44,   0x0001, 0,    301};
}

#include "RtuCrc.h"

namespace sim {

std::uint16_t modbusCrc(std::span<const std::uint8_t> bytes) {
    std::uint16_t crc = 0xFFFF;
    for (const std::uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1U) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : crc >> 1;
        }
    }
    return crc;
}

bool hasValidCrc(std::span<const std::uint8_t> frame) {
    if (frame.size() < 3) {
        return false;
    }
    const std::uint16_t crc = modbusCrc(frame.first(frame.size() - 2));
    return frame[frame.size() - 2] == (crc & 0xFF) && frame[frame.size() - 1] == (crc >> 8);
}

void appendCrc(std::vector<std::uint8_t>& frame) {
    const std::uint16_t crc = modbusCrc(frame);
    frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
}

void refreshCrc(std::vector<std::uint8_t>& frame) {
    if (frame.size() < 2) {
        return;
    }
    frame.resize(frame.size() - 2);
    appendCrc(frame);
}

} // namespace sim

#include "FrameHex.h"

#include "link/ModbusCrc.h"

using namespace climate::link;

std::vector<std::uint8_t> withCrc(std::vector<std::uint8_t> bytes) {
    const std::uint16_t crc = ModbusCrc16(bytes);
    bytes.push_back(static_cast<std::uint8_t>(crc >> 8));
    bytes.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    return bytes;
}

std::vector<std::uint8_t> replyFrom(std::string_view hex) {
    return withCrc(fromHex(hex));
}

std::vector<std::uint8_t> bytesOf(const ModbusFrame& frame) {
    const auto view = frame.view();
    return {view.begin(), view.end()};
}

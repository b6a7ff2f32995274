#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace climate::link {

// One request as it goes on the wire. The longest request the tool sends is 31 bytes.
struct ModbusFrame {
    static constexpr std::size_t Capacity = 76;

    std::array<std::uint8_t, Capacity> bytes{};
    std::uint32_t length = 0;

    [[nodiscard]] std::span<const std::uint8_t> view() const { return {bytes.data(), length}; }
};

// What a request asks and what a complete reply to it looks like.
struct RequestShape {
    std::uint8_t function = 0;
    std::uint16_t first = 0;    // first coil, input or register
    std::uint16_t quantity = 0; // for reads and function 16
    std::uint32_t replyLength = 0;
};

// The fixed requests of the tool (addresses and quantities as the controller maps them).
namespace Requests {
inline constexpr RequestShape PollCoils{1, 0, 16, 7};
inline constexpr RequestShape PollAlarmInputs{2, 0, 18, 8};
inline constexpr RequestShape PollCompressorSettings{3, 41, 3, 11};
inline constexpr RequestShape PollMeasurements{4, 0, 14, 33};
inline constexpr RequestShape ReadAll{3, 0, 47, 99};
inline constexpr RequestShape ReadFirmwareVersion{4, 15, 12, 29};
inline constexpr RequestShape DrawIntfan{3, 0, 11, 27};
inline constexpr RequestShape DrawExtfan{3, 11, 11, 27};
inline constexpr RequestShape DebugTemperature{6, 30, 0, 8};
inline constexpr RequestShape ForcedOutput{5, 12, 0, 8};
} // namespace Requests

// Read request, functions 1 to 4: address, function, first, quantity, CRC (8 bytes).
[[nodiscard]] ModbusFrame buildReadRequest(std::uint8_t address, const RequestShape& shape);

// Write single coil (5) or single register (6): address, function, target, value, CRC (8 bytes).
[[nodiscard]] ModbusFrame buildWriteSingle(std::uint8_t address, std::uint8_t function,
                                           std::uint16_t target, std::uint16_t value);

// Write multiple registers (16): 9 + 2 * words.size() bytes. At most 33 words fit the frame.
[[nodiscard]] ModbusFrame buildWriteMultiple(std::uint8_t address, std::uint16_t first,
                                             std::span<const std::uint16_t> words);


// Register k of an accepted function 3/4 reply, high byte first.
[[nodiscard]] inline std::uint16_t replyRegister(std::span<const std::uint8_t> reply,
                                                 std::size_t k) {
    return static_cast<std::uint16_t>(reply[3 + 2 * k] << 8 | reply[4 + 2 * k]);
}

// Coil or input n of an accepted function 1/2 reply.
[[nodiscard]] inline bool replyBit(std::span<const std::uint8_t> reply, std::size_t n) {
    return (reply[3 + n / 8] >> (n % 8)) & 1;
}

} // namespace climate::link

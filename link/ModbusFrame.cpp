#include "ModbusFrame.h"

#include "ModbusCrc.h"

#include "Invariant.h"

namespace climate::link {

namespace {

void putWord(ModbusFrame& frame, std::uint16_t word) {
    frame.bytes[frame.length++] = static_cast<std::uint8_t>(word >> 8);
    frame.bytes[frame.length++] = static_cast<std::uint8_t>(word & 0xFF);
}

// Appends the CRC of bytes[0, length) and grows length by 2. The builders below leave it room:
// their frames are of fixed length, or checked against the capacity first.
void appendCrc(ModbusFrame& frame) {
    const std::uint16_t crc = ModbusCrc16(frame.view());
    frame.bytes[frame.length++] = static_cast<std::uint8_t>(crc >> 8);
    frame.bytes[frame.length++] = static_cast<std::uint8_t>(crc & 0xFF);
}

} // namespace

ModbusFrame buildReadRequest(std::uint8_t address, const RequestShape& shape) {
    ModbusFrame frame;
    frame.bytes[frame.length++] = address;
    frame.bytes[frame.length++] = shape.function;
    putWord(frame, shape.first);
    putWord(frame, shape.quantity);
    appendCrc(frame);
    return frame;
}

ModbusFrame buildWriteSingle(std::uint8_t address, std::uint8_t function, std::uint16_t target,
                             std::uint16_t value) {
    ModbusFrame frame;
    frame.bytes[frame.length++] = address;
    frame.bytes[frame.length++] = function;
    putWord(frame, target);
    putWord(frame, value);
    appendCrc(frame);
    return frame;
}

ModbusFrame buildWriteMultiple(std::uint8_t address, std::uint16_t first,
                               std::span<const std::uint16_t> words) {
    checkInvariant(9 + 2 * words.size() <= ModbusFrame::Capacity,
                   "too many registers for one write request");
    ModbusFrame frame;
    frame.bytes[frame.length++] = address;
    frame.bytes[frame.length++] = 16;
    putWord(frame, first);
    putWord(frame, static_cast<std::uint16_t>(words.size()));
    frame.bytes[frame.length++] = static_cast<std::uint8_t>(2 * words.size());
    for (const std::uint16_t word : words) {
        putWord(frame, word);
    }
    appendCrc(frame);
    return frame;
}

} // namespace climate::link

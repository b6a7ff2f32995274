// The reply check and the CRC against references written from the definitions: the CRC bit by
// bit, the check from its three rules (enough bytes, header, CRC of the first replyLength bytes).
#include "link/CheckReply.h"
#include "link/ModbusCrc.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

using namespace climate::link;

namespace {

// CRC-16/MODBUS one bit at a time; the first byte on the wire is the low byte of the register.
std::uint16_t referenceCrc(std::span<const std::uint8_t> bytes) {
    std::uint16_t crc = 0xFFFF;
    for (const std::uint8_t byte : bytes) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

ReplyStatus referenceCheck(std::span<const std::uint8_t> collected, std::uint8_t function,
                           std::uint32_t replyLength, std::uint32_t address) {
    if (replyLength < 4 || collected.size() < replyLength)
        return ReplyStatus::Incomplete;
    if (collected[0] != address || collected[1] != function)
        return ReplyStatus::WrongHeader;
    const std::uint16_t crc = referenceCrc(collected.first(replyLength - 2));
    const bool good =
        collected[replyLength - 2] == (crc & 0xFF) && collected[replyLength - 1] == (crc >> 8);
    return good ? ReplyStatus::Good : ReplyStatus::BadCrc;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4)
        return 0;
    // Header: function, reply length (0 ... 255), device address (0 ... 255, or 256 and up as
    // a value no reply byte can match), whether to make the CRC right.
    const std::uint8_t function = data[0];
    const std::uint32_t replyLength = data[1];
    const std::uint32_t address = data[2] == 0xFF ? 256u + data[3] : data[2];
    const bool fixCrc = data[3] & 1;
    std::span<const std::uint8_t> bytes(data + 4, size - 4);

    // The table method against the bit-by-bit reference, with the wire order of the header.
    const std::uint16_t crc = ModbusCrc16(bytes);
    const std::uint16_t reference = referenceCrc(bytes);
    if (crc != static_cast<std::uint16_t>((reference & 0xFF) << 8 | reference >> 8))
        std::abort();

    if (fixCrc && replyLength >= 4 && bytes.size() >= replyLength) {
        // A reply whose CRC is right, so the Good branch is reached as often as the others.
        static std::uint8_t copy[1 << 16];
        const std::size_t n = bytes.size() < sizeof copy ? bytes.size() : sizeof copy;
        for (std::size_t i = 0; i < n; ++i)
            copy[i] = bytes[i];
        const std::uint16_t good = referenceCrc({copy, replyLength - 2});
        copy[replyLength - 2] = static_cast<std::uint8_t>(good & 0xFF);
        copy[replyLength - 1] = static_cast<std::uint8_t>(good >> 8);
        bytes = {copy, n};
    }
    if (CheckReply(bytes, function, replyLength, address) !=
        referenceCheck(bytes, function, replyLength, address))
        std::abort();
    return 0;
}

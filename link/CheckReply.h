#pragma once

#include <cstdint>
#include <span>

namespace climate::link {

enum class ReplyStatus { Incomplete, WrongHeader, BadCrc, Good };

// Decides on the bytes collected so far for a reply of `replyLength` bytes to a request of
// `function` sent to `deviceAddress`. Bytes beyond replyLength are ignored; the byte count of a
// read reply and the echo of a write are not examined here.
[[nodiscard]] ReplyStatus CheckReply(std::span<const std::uint8_t> collected, std::uint8_t function,
                                     std::uint32_t replyLength, std::uint32_t deviceAddress);

} // namespace climate::link

#pragma once

#include <QString>

#include <cstdint>
#include <span>

namespace climate::monitor {

// What the bytes of a request or reply mean, in the words of the bus monitor. Plain functions
// over the bytes, for every request the tool sends (functions 1 to 6 and 16) and the replies to
// them, exception replies included.

// A request: address, function, what it reads (first, last and count) or writes (target and
// value, or first register and the values), the name of the tool's request when it is one of its
// fixed shapes, and a note when the CRC is wrong or the frame is cut short.
[[nodiscard]] QString describeRequest(std::span<const std::uint8_t> frame);

// The bytes received so far after `request`, taken as one reply.
struct ReplyMeaning {
    enum class Form {
        Partial,      // too few bytes yet for the frame they start
        Reply,        // a complete normal reply to the request's function
        Exception,    // a complete exception reply (function | 0x80, code, CRC)
        Unrecognised, // neither: another function, or too short to tell
    };
    Form form = Form::Partial;
    bool crcGood = false;             // for Reply and Exception
    bool otherAddress = false;        // from an address other than the one asked
    std::uint8_t exceptionCode = 0;   // for Exception
    std::uint32_t expectedLength = 0; // length of the frame the bytes start, when known
    QString text;
};
[[nodiscard]] ReplyMeaning describeReply(std::span<const std::uint8_t> request,
                                         std::span<const std::uint8_t> reply);

} // namespace climate::monitor

#include "CheckReply.h"

#include "ModbusCrc.h"

namespace climate::link {

ReplyStatus CheckReply(std::span<const std::uint8_t> collected, std::uint8_t function,
                       std::uint32_t replyLength, std::uint32_t deviceAddress) {
    if (replyLength < 4 || collected.size() < replyLength) {
        return ReplyStatus::Incomplete;
    }
    if (collected[0] != deviceAddress || collected[1] != function) {
        return ReplyStatus::WrongHeader;
    }
    return crcHolds(collected.first(replyLength)) ? ReplyStatus::Good : ReplyStatus::BadCrc;
}

} // namespace climate::link

#include "PollCircle.h"

#include "LiveChannels.h"

namespace climate::realtime {

void PollRead::decode(std::span<const std::uint8_t> reply, LiveData& live) const {
    decodeGroup(group, shape().first, reply, live);
}

} // namespace climate::realtime

#pragma once

#include "RtuCrc.h"
#include "support/HexText.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace sim::test {

using ::fromHex;
using ::toHex;

// A frame written without its CRC, CRC appended.
inline std::vector<std::uint8_t> frame(std::string_view text) {
    std::vector<std::uint8_t> bytes = fromHex(text);
    appendCrc(bytes);
    return bytes;
}

} // namespace sim::test

#include "FirmwareVersion.h"

#include "CodePage936.h"

#include <algorithm>

namespace climate::config {

QString decodeFirmwareVersion(std::span<const std::uint8_t> bytes) {
    const auto end = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    const QByteArray text(reinterpret_cast<const char*>(bytes.data()),
                          static_cast<qsizetype>(end - bytes.begin()));
    return decodeCodePage936(text);
}

} // namespace climate::config

#pragma once

#include <QString>

#include <cstdint>
#include <span>

namespace climate::config {

// The controller's firmware version text: up to the first zero byte, in the Chinese ANSI code page
// 936 (GBK) whatever the system's own code page is.
[[nodiscard]] QString decodeFirmwareVersion(std::span<const std::uint8_t> bytes);

} // namespace climate::config

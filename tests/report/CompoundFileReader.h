#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Reads one stream back out of an OLE2 compound file with a reader of the system's (libgsf on
// Linux, ole32's structured storage on Windows); nothing when the container or the stream
// cannot be read, with the reader's reason in `error`.
std::optional<std::vector<std::uint8_t>> readCompoundStream(std::span<const std::uint8_t> file,
                                                            const std::string& streamName,
                                                            std::string& error);

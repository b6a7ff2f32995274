#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// An OLE2 compound file ("structured storage") holding one stream, built in memory with libgsf.
// This is the container of an .xls file, whose stream is named "Workbook".
class CompoundFile {
public:
    // Throws std::runtime_error when the container cannot be built.
    [[nodiscard]] static std::vector<std::uint8_t> withStream(const std::string& streamName,
                                                              std::span<const std::uint8_t> data);
};

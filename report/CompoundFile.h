#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace climate::report {

// An OLE2 compound file ("structured storage") holding one stream: the container of an .xls
// file, whose stream is named "Workbook". Made with libgsf on Linux (CompoundFileGsf.cpp) and
// with the system's own structured storage, ole32, on Windows (CompoundFileOle.cpp).
class CompoundFile {
public:
    // Writes the container to a file open for writing (it seeks back to finish the header);
    // the stream is the pieces one after the other.
    // Throws std::system_error with the system's reason when a write fails.
    static void write(std::FILE* file, const std::string& streamName,
                      std::span<const std::span<const std::uint8_t>> pieces);
    // The container in memory.
    [[nodiscard]] static std::vector<std::uint8_t> withStream(const std::string& streamName,
                                                              std::span<const std::uint8_t> data);
};

} // namespace climate::report

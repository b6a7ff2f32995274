#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace climate::report {

// An OLE2 compound file ("structured storage") holding one stream: the container of an .xls
// file, whose stream is named "Workbook". Made and read with libgsf on Linux (CompoundFileGsf.cpp)
// and with the system's own structured storage, ole32, on Windows (CompoundFileOle.cpp).
class CompoundFile {
public:
    // Why a stream could not be read back out of a container.
    enum class ReadFault {
        NotACompoundFile, // no container structure the reader accepts
        NoSuchStream,
        ImpossibleSize, // the stream claims more bytes than the container holds
        Unreadable,     // the stream's sectors cannot be read to its end
    };
    class ReadError : public std::runtime_error {
    public:
        ReadError(ReadFault fault, const std::string& what)
            : std::runtime_error(what), m_fault(fault) {}
        [[nodiscard]] ReadFault fault() const noexcept { return m_fault; }

    private:
        ReadFault m_fault;
    };

    // Writes the container to a file open for writing (it seeks back to finish the header);
    // the stream is the pieces one after the other.
    // Throws std::system_error with the system's reason when a write fails.
    static void write(std::FILE* file, const std::string& streamName,
                      std::span<const std::span<const std::uint8_t>> pieces);
    // The container in memory.
    [[nodiscard]] static std::vector<std::uint8_t> withStream(const std::string& streamName,
                                                              std::span<const std::uint8_t> data);
    // The stream named `streamName` of the container in `file`; throws ReadError.
    [[nodiscard]] static std::vector<std::uint8_t> readStream(std::span<const std::uint8_t> file,
                                                              const std::string& streamName);
};

} // namespace climate::report

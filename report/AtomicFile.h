#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

// Replaces a file's content all at once: the bytes go to a new file in the same folder, reach
// the disk, and only then take the file's name. A crash, a full disk or a pulled plug leaves
// either the old file or the new one, never a mixture; a failed write removes its temporary
// file. Throws std::system_error with the failing step and the system's reason.
class AtomicFile {
public:
    static void write(const std::filesystem::path& path, std::span<const std::uint8_t> data);
};

#pragma once

#include <cstdio>
#include <filesystem>

// The few file-system calls whose form differs between the systems the tool runs on
// (FileSystemCallsPosix.cpp, FileSystemCallsWin.cpp). Each returns 0 or the failure as an
// errno value, so that callers report every system's failures alike.
namespace climate::report::fs {

// Creates `path` for writing, failing when it exists already; binary, not inherited by children.
[[nodiscard]] int createNew(const std::filesystem::path& path, std::FILE*& file);
// Waits until what was written to `file` (already flushed from its buffer) is on the disk.
[[nodiscard]] int flushToDisk(std::FILE* file);
// Gives `from` the name `to`, replacing the file there in one step, and makes the new name
// durable where the system allows.
[[nodiscard]] int replace(const std::filesystem::path& from, const std::filesystem::path& to);
// Removes a file; failures are ignored (a leftover temporary name).
void removeQuietly(const std::filesystem::path& path) noexcept;
// This process's id, for names unique among processes.
[[nodiscard]] unsigned long processId() noexcept;

} // namespace climate::report::fs

#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <span>

namespace climate::report {

// Replaces a file's content all at once: the bytes go to a new file in the same folder, reach
// the disk, and only then take the file's name. A crash, a full disk or a pulled plug leaves
// either the old file or the new one, never a mixture; a failed write removes its temporary
// file. Failures throw std::system_error with the failing step and the system's reason.
//
// The two halves can run on different threads: prepare() writes (and finds a full disk at
// once), commit() waits for the disk and renames.
class AtomicFile {
public:
    // New content written next to its file, not yet in its place. Dropped uncommitted, it is
    // removed again.
    class Pending {
    public:
        Pending(Pending&& other) noexcept;
        Pending& operator=(Pending&& other) noexcept;
        Pending(const Pending&) = delete;
        Pending& operator=(const Pending&) = delete;
        ~Pending();

        [[nodiscard]] const std::filesystem::path& target() const { return m_target; }

    private:
        friend class AtomicFile;
        Pending() = default;
        void discard() noexcept;

        std::FILE* m_file = nullptr;
        std::unique_ptr<char[]> m_buffer; // the file's write buffer, alive until it is closed
        std::filesystem::path m_temporary;
        std::filesystem::path m_target;
    };

    // Writes the content with `write`, which may throw std::system_error.
    [[nodiscard]] static Pending prepare(const std::filesystem::path& path,
                                         const std::function<void(std::FILE*)>& write);
    [[nodiscard]] static Pending prepare(const std::filesystem::path& path,
                                         std::span<const std::uint8_t> data);
    static void commit(Pending& pending);
    static void write(const std::filesystem::path& path, std::span<const std::uint8_t> data);
};

} // namespace climate::report

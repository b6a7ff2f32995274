#include "AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

[[noreturn]] void fail(const std::string& what, const std::filesystem::path& path, int error) {
    throw std::system_error(error, std::generic_category(), what + " " + path.string());
}

// A name in the file's own folder, so that the final rename stays within one file system.
std::filesystem::path temporaryNameFor(const std::filesystem::path& path) {
    static std::atomic<unsigned> counter{0};
    std::filesystem::path temporary = path;
    temporary += ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    return temporary;
}

void writeAll(int fd, std::span<const std::uint8_t> data, const std::filesystem::path& path) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            fail("cannot write", path, errno);
        data = data.subspan(static_cast<std::size_t>(written));
    }
}

} // namespace

void AtomicFile::write(const std::filesystem::path& path, std::span<const std::uint8_t> data) {
    const std::filesystem::path temporary = temporaryNameFor(path);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        fail("cannot create", temporary, errno);
    try {
        writeAll(fd, data, temporary);
        if (::fsync(fd) != 0)
            fail("cannot flush", temporary, errno);
    } catch (...) {
        ::close(fd);
        ::unlink(temporary.c_str());
        throw;
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        fail("cannot close", temporary, error);
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        fail("cannot replace", path, error);
    }
    // Make the new name itself durable; a failure here leaves a complete file either way.
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

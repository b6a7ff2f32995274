#include "FileSystemCalls.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace climate::report::fs {

int createNew(const std::filesystem::path& path, std::FILE*& file) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return errno;
    }
    file = ::fdopen(fd, "wb");
    if (!file) {
        const int error = errno;
        ::close(fd);
        ::unlink(path.c_str());
        return error;
    }
    return 0;
}

int flushToDisk(std::FILE* file) {
    return ::fsync(::fileno(file)) == 0 ? 0 : errno;
}

int replace(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::rename(from.c_str(), to.c_str()) != 0) {
        return errno;
    }
    // Make the new name itself durable; a failure here leaves a complete file either way.
    const std::filesystem::path folder = to.has_parent_path() ? to.parent_path() : ".";
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return 0;
}

void removeQuietly(const std::filesystem::path& path) noexcept {
    ::unlink(path.c_str());
}

unsigned long processId() noexcept {
    return static_cast<unsigned long>(::getpid());
}

} // namespace climate::report::fs

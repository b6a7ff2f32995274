#include "AtomicFile.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace climate::report {

namespace {

constexpr std::size_t WriteBufferSize = 1 << 20;

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

} // namespace

AtomicFile::Pending::Pending(Pending&& other) noexcept
    : m_file(std::exchange(other.m_file, nullptr)), m_buffer(std::move(other.m_buffer)),
      m_temporary(std::move(other.m_temporary)), m_target(std::move(other.m_target)) {}

AtomicFile::Pending& AtomicFile::Pending::operator=(Pending&& other) noexcept {
    if (this != &other) {
        discard();
        m_file = std::exchange(other.m_file, nullptr);
        m_buffer = std::move(other.m_buffer);
        m_temporary = std::move(other.m_temporary);
        m_target = std::move(other.m_target);
    }
    return *this;
}

AtomicFile::Pending::~Pending() {
    discard();
}

void AtomicFile::Pending::discard() noexcept {
    if (!m_file)
        return;
    std::fclose(m_file);
    ::unlink(m_temporary.c_str());
    m_file = nullptr;
}

AtomicFile::Pending AtomicFile::prepare(const std::filesystem::path& path,
                                        const std::function<void(std::FILE*)>& write) {
    Pending pending;
    pending.m_target = path;
    pending.m_temporary = temporaryNameFor(path);
    const int fd =
        ::open(pending.m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        fail("cannot create", pending.m_temporary, errno);
    pending.m_file = ::fdopen(fd, "wb");
    if (!pending.m_file) {
        const int error = errno;
        ::close(fd);
        ::unlink(pending.m_temporary.c_str());
        fail("cannot open", pending.m_temporary, error);
    }
    // From here a failure discards the file with `pending`. A large buffer turns many small
    // writes into a few system calls.
    pending.m_buffer = std::make_unique<char[]>(WriteBufferSize);
    std::setvbuf(pending.m_file, pending.m_buffer.get(), _IOFBF, WriteBufferSize);
    write(pending.m_file);
    if (std::fflush(pending.m_file) != 0 || std::ferror(pending.m_file))
        fail("cannot write", pending.m_temporary, errno ? errno : EIO);
    return pending;
}

AtomicFile::Pending AtomicFile::prepare(const std::filesystem::path& path,
                                        std::span<const std::uint8_t> data) {
    return prepare(path, [&](std::FILE* file) {
        errno = 0;
        if (std::fwrite(data.data(), 1, data.size(), file) != data.size())
            fail("cannot write", path, errno ? errno : EIO);
    });
}

void AtomicFile::commit(Pending& pending) {
    if (::fsync(::fileno(pending.m_file)) != 0)
        fail("cannot flush", pending.m_temporary, errno);
    if (std::fclose(std::exchange(pending.m_file, nullptr)) != 0) {
        const int error = errno;
        ::unlink(pending.m_temporary.c_str());
        fail("cannot close", pending.m_temporary, error);
    }
    if (::rename(pending.m_temporary.c_str(), pending.m_target.c_str()) != 0) {
        const int error = errno;
        ::unlink(pending.m_temporary.c_str());
        fail("cannot replace", pending.m_target, error);
    }
    // Make the new name itself durable; a failure here leaves a complete file either way.
    const auto& target = pending.m_target;
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

void AtomicFile::write(const std::filesystem::path& path, std::span<const std::uint8_t> data) {
    Pending pending = prepare(path, data);
    commit(pending);
}

} // namespace climate::report

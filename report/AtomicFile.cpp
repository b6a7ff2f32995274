#include "AtomicFile.h"

#include "FileSystemCalls.h"

#include <atomic>
#include <cerrno>
#include <string>
#include <system_error>
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
    temporary += ".tmp" + std::to_string(fs::processId()) + "-" + std::to_string(counter++);
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
    if (!m_file) {
        return;
    }
    std::fclose(m_file);
    fs::removeQuietly(m_temporary);
    m_file = nullptr;
}

AtomicFile::Pending AtomicFile::prepare(const std::filesystem::path& path,
                                        const std::function<void(std::FILE*)>& write) {
    Pending pending;
    pending.m_target = path;
    pending.m_temporary = temporaryNameFor(path);
    if (const int error = fs::createNew(pending.m_temporary, pending.m_file); error != 0) {
        fail("cannot create", pending.m_temporary, error);
    }
    // From here a failure discards the file with `pending`. A large buffer turns many small
    // writes into a few system calls.
    pending.m_buffer = std::make_unique<char[]>(WriteBufferSize);
    std::setvbuf(pending.m_file, pending.m_buffer.get(), _IOFBF, WriteBufferSize);
    write(pending.m_file);
    if (std::fflush(pending.m_file) != 0 || std::ferror(pending.m_file)) {
        fail("cannot write", pending.m_temporary, errno ? errno : EIO);
    }
    return pending;
}

AtomicFile::Pending AtomicFile::prepare(const std::filesystem::path& path,
                                        std::span<const std::uint8_t> data) {
    return prepare(path, [&](std::FILE* file) {
        errno = 0;
        if (std::fwrite(data.data(), 1, data.size(), file) != data.size()) {
            fail("cannot write", path, errno ? errno : EIO);
        }
    });
}

void AtomicFile::commit(Pending& pending) {
    if (const int error = fs::flushToDisk(pending.m_file); error != 0) {
        fail("cannot flush", pending.m_temporary, error);
    }
    if (std::fclose(std::exchange(pending.m_file, nullptr)) != 0) {
        const int error = errno;
        fs::removeQuietly(pending.m_temporary);
        fail("cannot close", pending.m_temporary, error);
    }
    if (const int error = fs::replace(pending.m_temporary, pending.m_target); error != 0) {
        fs::removeQuietly(pending.m_temporary);
        fail("cannot replace", pending.m_target, error);
    }
}

void AtomicFile::write(const std::filesystem::path& path, std::span<const std::uint8_t> data) {
    Pending pending = prepare(path, data);
    commit(pending);
}

} // namespace climate::report

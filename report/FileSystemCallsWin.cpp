#include "FileSystemCalls.h"

#include <windows.h>

#include <cerrno>
#include <fcntl.h>
#include <io.h>

namespace climate::report::fs {

namespace {

// The errno value closest to a Windows error, for messages alike on every system.
int errnoOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return EEXIST;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return ENOSPC;
    case ERROR_WRITE_PROTECT:
        return EROFS;
    case ERROR_NOT_SAME_DEVICE:
        return EXDEV;
    case ERROR_FILENAME_EXCED_RANGE:
        return ENAMETOOLONG;
    default:
        return EIO;
    }
}

} // namespace

int createNew(const std::filesystem::path& path, std::FILE*& file) {
    // Not inherited (lpSecurityAttributes null); shared for reading only, so no other program
    // writes into the file before it takes its name.
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return errnoOf(::GetLastError());
    }
    const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (fd < 0) {
        ::CloseHandle(handle);
        ::DeleteFileW(path.c_str());
        return EMFILE;
    }
    file = ::_fdopen(fd, "wb");
    if (!file) {
        const int error = errno;
        ::_close(fd);
        ::DeleteFileW(path.c_str());
        return error;
    }
    return 0;
}

int flushToDisk(std::FILE* file) {
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
    if (handle == INVALID_HANDLE_VALUE) {
        return EBADF;
    }
    return ::FlushFileBuffers(handle) ? 0 : errnoOf(::GetLastError());
}

int replace(const std::filesystem::path& from, const std::filesystem::path& to) {
    // One step, and only returning once the new name is on the disk.
    if (!::MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return errnoOf(::GetLastError());
    }
    return 0;
}

void removeQuietly(const std::filesystem::path& path) noexcept {
    ::DeleteFileW(path.c_str());
}

unsigned long processId() noexcept {
    return ::GetCurrentProcessId();
}

} // namespace climate::report::fs

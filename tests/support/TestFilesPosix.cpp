#include "FileCreationMask.h"
#include "FileSizeLimit.h"

#include <csignal>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>

bool FileSizeLimit::available() {
    return true;
}

FileSizeLimit::FileSizeLimit(long bytes) {
    std::signal(SIGXFSZ, SIG_IGN); // the write fails with EFBIG instead of ending the process
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    m_previous = limit.rlim_cur;
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
        throw std::runtime_error("cannot limit the file size");
    }
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = m_previous;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

bool FileCreationMask::available() {
    return true;
}

FileCreationMask::FileCreationMask(unsigned mask)
    : m_previous(static_cast<unsigned>(::umask(static_cast<mode_t>(mask)))) {}

FileCreationMask::~FileCreationMask() {
    ::umask(static_cast<mode_t>(m_previous));
}

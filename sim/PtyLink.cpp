#include "PtyLink.h"

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace sim {

namespace {

speed_t speedFor(int baud) {
    switch (baud) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    default:
        return B9600;
    }
}

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

} // namespace

PtyLink::PtyLink(std::filesystem::path linkPath, int baud)
    : m_linkPath(std::move(linkPath)), m_baud(baud) {}

PtyLink::~PtyLink() {
    pull();
}

void PtyLink::resetLine() {
    termios settings{};
    if (::tcgetattr(m_keeper.get(), &settings) != 0) {
        return;
    }
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    ::cfsetspeed(&settings, speedFor(m_baud));
    ::tcsetattr(m_keeper.get(), TCSANOW, &settings);
    ::tcflush(m_keeper.get(), TCIOFLUSH);
}

bool PtyLink::plug(std::string& error) {
    std::error_code status;
    if (std::filesystem::exists(std::filesystem::symlink_status(m_linkPath, status)) &&
        !std::filesystem::is_symlink(std::filesystem::symlink_status(m_linkPath, status))) {
        error = m_linkPath.string() + " exists and is not a symbolic link";
        return false;
    }

    UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!master.isValid()) {
        error = systemError("posix_openpt");
        return false;
    }
    std::array<char, 128> name{};
    if (::grantpt(master.get()) != 0 || ::unlockpt(master.get()) != 0 ||
        ::ptsname_r(master.get(), name.data(), name.size()) != 0) {
        error = systemError("pseudo-terminal set-up");
        return false;
    }
    ::fcntl(master.get(), F_SETFL, ::fcntl(master.get(), F_GETFL) | O_NONBLOCK);
    UniqueFd keeper(::open(name.data(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK));
    if (!keeper.isValid()) {
        error = systemError(std::string("open ") + name.data());
        return false;
    }
    // Watch only after the keeper is open, so that only clients are counted.
    UniqueFd watch(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (watch.isValid() && ::inotify_add_watch(watch.get(), name.data(), IN_OPEN | IN_CLOSE) < 0) {
        watch.reset();
    }

    // Publish atomically: the link either points at the old device or at the new one.
    const std::filesystem::path temporary =
        m_linkPath.string() + ".tmp" + std::to_string(::getpid());
    std::filesystem::remove(temporary, status);
    if (::symlink(name.data(), temporary.c_str()) != 0) {
        error = systemError("symlink " + temporary.string());
        return false;
    }
    if (::rename(temporary.c_str(), m_linkPath.c_str()) != 0) {
        error = systemError("rename to " + m_linkPath.string());
        std::filesystem::remove(temporary, status);
        return false;
    }

    m_master = std::move(master);
    m_keeper = std::move(keeper);
    m_watch = std::move(watch);
    m_device = name.data();
    m_clients = 0;
    ++m_generation;
    resetLine();
    error = m_device; // on success: the device path
    return true;
}

void PtyLink::pull() {
    if (!m_master.isValid()) {
        return;
    }
    std::error_code status;
    if (std::filesystem::read_symlink(m_linkPath, status) == m_device) {
        std::filesystem::remove(m_linkPath, status);
    }
    m_watch.reset();
    m_keeper.reset();
    m_master.reset();
    m_device.clear();
    m_clients = 0;
    ++m_generation;
}

bool PtyLink::handleWatchEvents() {
    if (!m_watch.isValid()) {
        return false;
    }
    bool lastClosed = false;
    alignas(inotify_event) std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t got = ::read(m_watch.get(), buffer.data(), buffer.size());
        if (got <= 0) {
            break;
        }
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
            if (event->mask & IN_OPEN) {
                // A new client starts on an empty line, not on bytes left from the last one.
                if (m_clients++ == 0) {
                    ::tcflush(m_keeper.get(), TCIFLUSH);
                }
            } else if ((event->mask & IN_CLOSE) && m_clients > 0 && --m_clients == 0) {
                lastClosed = true;
                // A client that died holding the port exclusively must not lock the next one out.
                ::ioctl(m_keeper.get(), TIOCNXCL);
                resetLine();
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return lastClosed;
}

} // namespace sim

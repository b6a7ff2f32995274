#include "PtyLink.h"

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <vector>

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

// The descriptors open on `device` in the processes whose descriptors this process may read,
// its own descriptor `own` left out; `complete` when it may read every process's.
struct Openers {
    int count = 0;
    bool complete = true;
};

Openers openersOf(const std::string& device, int own) {
    namespace fs = std::filesystem;
    Openers openers;
    std::error_code status;
    const std::string self = std::to_string(::getpid());
    for (fs::directory_iterator process("/proc", status), end; !status && process != end;
         process.increment(status)) {
        const std::string pid = process->path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        std::error_code fdStatus;
        fs::directory_iterator fd(process->path() / "fd", fdStatus);
        if (fdStatus) {
            // A process that ended meanwhile has nothing open; another user's is hidden.
            openers.complete = openers.complete && fdStatus == std::errc::no_such_file_or_directory;
            continue;
        }
        for (; !fdStatus && fd != fs::directory_iterator(); fd.increment(fdStatus)) {
            std::error_code linkStatus;
            if (fs::read_symlink(fd->path(), linkStatus) == device && !linkStatus &&
                !(pid == self && fd->path().filename() == std::to_string(own))) {
                ++openers.count;
            }
        }
    }
    openers.complete = openers.complete && !status;
    return openers;
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
    // Every event waiting, in order: true for an open, false for a close.
    std::vector<bool> opens;
    alignas(inotify_event) std::array<char, 4096> buffer{};
    for (;;) {
        const ssize_t got = ::read(m_watch.get(), buffer.data(), buffer.size());
        if (got <= 0) {
            break;
        }
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer.data() + at);
            if (event->mask & (IN_OPEN | IN_CLOSE)) {
                opens.push_back((event->mask & IN_OPEN) != 0);
            }
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    // inotify merges an event with an identical one not read yet: two opens in a row (a client
    // looking at the line settings while the tool has the port) may come as one, and so may two
    // closes. The count of events is then checked against the descriptors open on the device.
    bool lastClosed = false;
    const auto left = [&] {
        lastClosed = true;
        // A client that died holding the port exclusively must not lock the next one out.
        ::ioctl(m_keeper.get(), TIOCNXCL);
        resetLine();
    };
    for (std::size_t i = 0; i < opens.size(); ++i) {
        if (opens[i]) {
            // A new client starts on an empty line, not on bytes left from the last one.
            if (m_clients++ == 0) {
                ::tcflush(m_keeper.get(), TCIFLUSH);
            }
            continue;
        }
        if (m_clients == 0 || --m_clients > 0) {
            continue;
        }
        // The device looks left. Those who have it open now, less those who came after this close
        // by the events still to read, were there at the close: opens that were merged.
        int cameLater = 0;
        for (std::size_t k = i + 1; k < opens.size(); ++k) {
            cameLater += opens[k] ? 1 : -1;
        }
        const int stayed = openersOf(m_device, m_keeper.get()).count - std::max(0, cameLater);
        if (stayed > 0) {
            m_clients = stayed;
        } else {
            left();
        }
    }
    // The last event a close, yet clients counted: when every process's descriptors can be seen
    // and none is open on the device, the closes were merged and the device is left.
    if (!opens.empty() && !opens.back() && m_clients > 0) {
        const Openers openers = openersOf(m_device, m_keeper.get());
        if (openers.complete && openers.count == 0) {
            m_clients = 0;
            left();
        }
    }
    return lastClosed;
}

} // namespace sim

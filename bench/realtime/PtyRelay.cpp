#include "PtyRelay.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {

bool makeRaw(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0) {
        return false;
    }
    ::cfmakeraw(&settings);
    return ::tcsetattr(fd, TCSANOW, &settings) == 0;
}

} // namespace

PtyRelay::~PtyRelay() {
    stop();
}

bool PtyRelay::start(const std::string& simulatorDevice) {
    m_simulator = ::open(simulatorDevice.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_simulator < 0 || !makeRaw(m_simulator)) {
        m_error = simulatorDevice + ": " + std::strerror(errno);
        return false;
    }
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0 || !makeRaw(m_slave)) {
        m_error = std::string("openpty: ") + std::strerror(errno);
        return false;
    }
    m_toolDevice = name;
    m_running = true;
    m_thread = std::thread([this] { run(); });
    return true;
}

void PtyRelay::stop() {
    m_running = false;
    if (m_thread.joinable()) {
        m_thread.join();
    }
    for (int* fd : {&m_master, &m_slave, &m_simulator}) {
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
    }
}

std::vector<PtyRelay::Chunk> PtyRelay::chunks() const {
    std::lock_guard lock(m_mutex);
    return m_chunks;
}

void PtyRelay::run() {
    while (m_running) {
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_simulator, POLLIN, 0}};
        if (::poll(fds, 2, 20) <= 0) {
            continue;
        }
        if ((fds[0].revents & POLLIN) != 0) {
            forward(m_master, m_simulator, true);
        }
        if ((fds[1].revents & POLLIN) != 0) {
            forward(m_simulator, m_master, false);
        }
        if (((fds[0].revents | fds[1].revents) & (POLLHUP | POLLERR)) != 0) {
            ::usleep(1000); // the far side is gone; keep serving the other side
        }
    }
}

bool PtyRelay::forward(int from, int to, bool fromTool) {
    std::uint8_t buffer[4096];
    const ssize_t got = ::read(from, buffer, sizeof buffer);
    if (got <= 0) {
        return false;
    }
    for (ssize_t written = 0; written < got;) {
        const ssize_t n = ::write(to, buffer + written, static_cast<std::size_t>(got - written));
        if (n < 0 && errno != EAGAIN) {
            return false;
        }
        written += n > 0 ? n : 0;
    }
    const Clock::time_point at = Clock::now();
    std::lock_guard lock(m_mutex);
    m_chunks.push_back({at, fromTool, std::vector<std::uint8_t>(buffer, buffer + got)});
    return true;
}

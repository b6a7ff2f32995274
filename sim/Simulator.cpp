#include "Simulator.h"

#include "PtyLink.h"

#include "RegisterTable.h"
#include "UnitRegisters.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace sim {

namespace {

constexpr auto ModelPeriod = std::chrono::seconds(1);
// More than this waiting for a client that does not read is dropped, oldest first.
constexpr std::size_t MaxQueuedBytes = 1U << 20;

void printLine(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

Simulator::Simulator(Options options) : m_options(std::move(options)) {
    if (m_options.tcp) {
        m_link = std::make_unique<TcpLink>(*m_options.tcp);
    } else {
        m_link = std::make_unique<PtyLink>(m_options.link, m_options.baud);
    }
    m_model.write(RegisterTable::HoldingRegister, reg::Address,
                  static_cast<std::uint16_t>(m_options.address));
}

void Simulator::restartStream() {
    m_output.clear();
    m_waitingWritable = false;
    m_framer.reset();
    m_mbapFramer.reset();
}

bool Simulator::plug(std::string& result) {
    restartStream();
    return m_link->plug(result);
}

void Simulator::pull() {
    restartStream();
    m_link->pull();
}

void Simulator::sendNoise(std::size_t count) {
    PendingBytes noise{Clock::now(), {}};
    noise.bytes.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        noise.bytes.push_back(static_cast<std::uint8_t>(m_noise() & 0xFF));
    }
    m_output.push_back(std::move(noise));
}

int Simulator::run() {
    ::signal(SIGPIPE, SIG_IGN);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    ::sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    m_signals.reset(::signalfd(-1, &stopSignals, SFD_CLOEXEC | SFD_NONBLOCK));
    m_consoleOpen = ::fcntl(STDIN_FILENO, F_GETFD) != -1;

    std::string result;
    if (!plug(result)) {
        std::fprintf(stderr, "climate-sim: %s\n", result.c_str());
        return 1;
    }
    printLine("ready " + m_link->address());

    while (!m_quit) {
        std::vector<pollfd> fds;
        fds.push_back({m_signals.get(), POLLIN, 0});
        if (m_consoleOpen) {
            fds.push_back({STDIN_FILENO, POLLIN, 0});
        }
        // Unused slots (fd -1) are skipped by poll() and keep the indices fixed.
        const bool plugged = m_link->isPlugged();
        fds.push_back({plugged ? m_link->watchFd() : -1, POLLIN, 0});
        fds.push_back({plugged ? m_link->dataFd() : -1,
                       static_cast<short>(POLLIN | (m_waitingWritable ? POLLOUT : 0)), 0});

        if (::poll(fds.data(), fds.size(), pollTimeout(Clock::now())) < 0 && errno != EINTR) {
            std::fprintf(stderr, "climate-sim: poll: %s\n", std::strerror(errno));
            return 1;
        }
        const auto now = Clock::now();
        if (fds[0].revents != 0) {
            break;
        }
        std::size_t next = 1;
        const unsigned generation = m_link->generation();
        if (m_consoleOpen && fds[next++].revents != 0) {
            readConsole();
        }
        // A console command may have pulled or re-plugged the line: its descriptors are stale.
        if (plugged && m_link->generation() == generation) {
            const short data = fds[next + 1].revents;
            if (fds[next].revents != 0 && m_link->handleWatchEvents()) {
                restartStream();
            }
            if (data & POLLOUT) {
                m_waitingWritable = false;
            }
            if (data & (POLLIN | POLLHUP | POLLERR)) {
                readLine(now);
            }
        }
        serveFrames(now);
        writeDue(now);
        tickModel(now);
    }
    m_link->pull();
    return 0;
}

int Simulator::pollTimeout(Clock::time_point now) const {
    std::optional<Clock::time_point> wake;
    const auto consider = [&wake](Clock::time_point when) {
        if (!wake || when < *wake) {
            wake = when;
        }
    };
    if (m_model.isRunning()) {
        consider(m_modelWasRunning ? m_nextTick : now + ModelPeriod);
    }
    if (!m_output.empty() && !m_waitingWritable) {
        consider(m_output.front().due);
    }
    if (const auto deadline = m_framer.deadline()) {
        consider(*deadline);
    }
    if (!wake) {
        return -1;
    }
    if (*wake <= now) {
        return 0;
    }
    // Round up, so the loop never wakes a little early and polls again with a zero time-out.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*wake - now);
    return static_cast<int>(std::min<long>(wait.count(), 60000));
}

void Simulator::readConsole() {
    std::array<char, 4096> buffer{};
    const ssize_t got = ::read(STDIN_FILENO, buffer.data(), buffer.size());
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) {
        return;
    }
    if (got <= 0) {
        // End of input only ends the console; the unit keeps serving.
        m_consoleOpen = false;
        if (!m_consoleBuffer.empty()) {
            printLine(m_console.execute(m_consoleBuffer));
        }
        m_consoleBuffer.clear();
        return;
    }
    m_consoleBuffer.append(buffer.data(), static_cast<std::size_t>(got));
    std::size_t end = 0;
    while ((end = m_consoleBuffer.find('\n')) != std::string::npos && !m_quit) {
        const std::string line = m_consoleBuffer.substr(0, end);
        m_consoleBuffer.erase(0, end + 1);
        const std::string answer = m_console.execute(line);
        if (!answer.empty()) {
            printLine(answer);
        }
    }
}

void Simulator::readLine(Clock::time_point now) {
    std::array<std::uint8_t, 4096> buffer{};
    const bool mbap = m_options.tcp && m_options.framing == Framing::Mbap;
    for (;;) {
        const ssize_t got = ::read(m_link->dataFd(), buffer.data(), buffer.size());
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
            if (m_link->handleEndOfInput()) {
                restartStream();
            }
            break;
        }
        if (got < 0) {
            break;
        }
        const std::span bytes(buffer.data(), static_cast<std::size_t>(got));
        if (mbap) {
            m_mbapFramer.feed(bytes);
        } else {
            m_framer.feed(bytes, now);
        }
    }
}

void Simulator::serveFrames(Clock::time_point now) {
    const auto queue = [this, now](std::vector<ReplyChunk> chunks) {
        auto due = m_output.empty() ? now : std::max(now, m_output.back().due);
        for (ReplyChunk& chunk : chunks) {
            due += chunk.delay;
            m_output.push_back({due, std::move(chunk.bytes)});
        }
    };
    const std::size_t skippedBefore = m_framer.skippedBytes() + m_mbapFramer.skippedBytes();
    while (const auto frame = m_framer.next(now)) {
        queue(m_server.serve(*frame));
    }
    while (const auto request = m_mbapFramer.next()) {
        queue(toMbapReply(m_server.serve(request->rtu), request->transactionId));
    }
    m_server.stats().skippedBytes +=
        static_cast<long>(m_framer.skippedBytes() + m_mbapFramer.skippedBytes() - skippedBefore);
}

void Simulator::writeDue(Clock::time_point now) {
    std::size_t queued = 0;
    for (const PendingBytes& pending : m_output) {
        queued += pending.bytes.size();
    }
    while (queued > MaxQueuedBytes && m_output.size() > 1) {
        queued -= m_output.front().bytes.size();
        m_output.pop_front();
    }

    while (!m_output.empty() && !m_waitingWritable && m_output.front().due <= now) {
        PendingBytes& front = m_output.front();
        // Bytes for nobody are lost, as on a real line with the port closed.
        if (!m_link->isPlugged() || !m_link->hasClient()) {
            m_output.pop_front();
            continue;
        }
        // SIGPIPE is ignored: a client gone meanwhile makes this fail with EPIPE.
        const ssize_t written = ::write(m_link->dataFd(), front.bytes.data(), front.bytes.size());
        if (written < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                m_waitingWritable = true;
            } else {
                m_output.pop_front();
            }
            continue;
        }
        front.bytes.erase(front.bytes.begin(), front.bytes.begin() + written);
        if (front.bytes.empty()) {
            m_output.pop_front();
        } else {
            m_waitingWritable = true;
        }
    }
}

void Simulator::tickModel(Clock::time_point now) {
    if (!m_model.isRunning()) {
        m_modelWasRunning = false;
        return;
    }
    if (!m_modelWasRunning) {
        m_modelWasRunning = true;
        m_nextTick = now + ModelPeriod;
        return;
    }
    if (now < m_nextTick) {
        return;
    }
    m_model.advance();
    m_nextTick += ModelPeriod;
    // After a long stall, start counting again instead of catching up in a burst.
    if (m_nextTick <= now) {
        m_nextTick = now + ModelPeriod;
    }
}

} // namespace sim

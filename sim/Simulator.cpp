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

Simulator::Simulator(Options options) : options_(std::move(options)) {
    if (options_.tcp)
        link_ = std::make_unique<TcpLink>(*options_.tcp);
    else
        link_ = std::make_unique<PtyLink>(options_.link, options_.baud);
    model_.write(RegisterTable::HoldingRegister, reg::Address,
                 static_cast<std::uint16_t>(options_.address));
}

void Simulator::restartStream() {
    output_.clear();
    waitingWritable_ = false;
    framer_.reset();
    mbapFramer_.reset();
}

bool Simulator::plug(std::string& result) {
    restartStream();
    return link_->plug(result);
}

void Simulator::pull() {
    restartStream();
    link_->pull();
}

void Simulator::sendNoise(std::size_t count) {
    PendingBytes noise{Clock::now(), {}};
    noise.bytes.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        noise.bytes.push_back(static_cast<std::uint8_t>(noise_() & 0xFF));
    output_.push_back(std::move(noise));
}

int Simulator::run() {
    ::signal(SIGPIPE, SIG_IGN);
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    ::sigprocmask(SIG_BLOCK, &stopSignals, nullptr);
    signals_.reset(::signalfd(-1, &stopSignals, SFD_CLOEXEC | SFD_NONBLOCK));
    consoleOpen_ = ::fcntl(STDIN_FILENO, F_GETFD) != -1;

    std::string result;
    if (!plug(result)) {
        std::fprintf(stderr, "climate-sim: %s\n", result.c_str());
        return 1;
    }
    printLine("ready " + link_->address());

    while (!quit_) {
        std::vector<pollfd> fds;
        fds.push_back({signals_.get(), POLLIN, 0});
        if (consoleOpen_)
            fds.push_back({STDIN_FILENO, POLLIN, 0});
        // Unused slots (fd -1) are skipped by poll() and keep the indices fixed.
        const bool plugged = link_->isPlugged();
        fds.push_back({plugged ? link_->watchFd() : -1, POLLIN, 0});
        fds.push_back({plugged ? link_->dataFd() : -1,
                       static_cast<short>(POLLIN | (waitingWritable_ ? POLLOUT : 0)), 0});

        if (::poll(fds.data(), fds.size(), pollTimeout(Clock::now())) < 0 && errno != EINTR) {
            std::fprintf(stderr, "climate-sim: poll: %s\n", std::strerror(errno));
            return 1;
        }
        const auto now = Clock::now();
        if (fds[0].revents != 0)
            break;
        std::size_t next = 1;
        const unsigned generation = link_->generation();
        if (consoleOpen_ && fds[next++].revents != 0)
            readConsole();
        // A console command may have pulled or re-plugged the line: its descriptors are stale.
        if (plugged && link_->generation() == generation) {
            const short data = fds[next + 1].revents;
            if (fds[next].revents != 0 && link_->handleWatchEvents())
                restartStream();
            if (data & POLLOUT)
                waitingWritable_ = false;
            if (data & (POLLIN | POLLHUP | POLLERR))
                readLine(now);
        }
        serveFrames(now);
        writeDue(now);
        tickModel(now);
    }
    link_->pull();
    return 0;
}

int Simulator::pollTimeout(Clock::time_point now) const {
    std::optional<Clock::time_point> wake;
    const auto consider = [&wake](Clock::time_point when) {
        if (!wake || when < *wake)
            wake = when;
    };
    if (model_.isRunning())
        consider(modelWasRunning_ ? nextTick_ : now + ModelPeriod);
    if (!output_.empty() && !waitingWritable_)
        consider(output_.front().due);
    if (const auto deadline = framer_.deadline())
        consider(*deadline);
    if (!wake)
        return -1;
    if (*wake <= now)
        return 0;
    // Round up, so the loop never wakes a little early and polls again with a zero time-out.
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*wake - now);
    return static_cast<int>(std::min<long>(wait.count(), 60000));
}

void Simulator::readConsole() {
    std::array<char, 4096> buffer{};
    const ssize_t got = ::read(STDIN_FILENO, buffer.data(), buffer.size());
    if (got < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (got <= 0) {
        // End of input only ends the console; the unit keeps serving.
        consoleOpen_ = false;
        if (!consoleBuffer_.empty())
            printLine(console_.execute(consoleBuffer_));
        consoleBuffer_.clear();
        return;
    }
    consoleBuffer_.append(buffer.data(), static_cast<std::size_t>(got));
    std::size_t end = 0;
    while ((end = consoleBuffer_.find('\n')) != std::string::npos && !quit_) {
        const std::string line = consoleBuffer_.substr(0, end);
        consoleBuffer_.erase(0, end + 1);
        const std::string answer = console_.execute(line);
        if (!answer.empty())
            printLine(answer);
    }
}

void Simulator::readLine(Clock::time_point now) {
    std::array<std::uint8_t, 4096> buffer{};
    const bool mbap = options_.tcp && options_.framing == Framing::Mbap;
    for (;;) {
        const ssize_t got = ::read(link_->dataFd(), buffer.data(), buffer.size());
        if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
            if (link_->handleEndOfInput())
                restartStream();
            break;
        }
        if (got < 0)
            break;
        const std::span bytes(buffer.data(), static_cast<std::size_t>(got));
        if (mbap)
            mbapFramer_.feed(bytes);
        else
            framer_.feed(bytes, now);
    }
}

void Simulator::serveFrames(Clock::time_point now) {
    const auto queue = [this, now](std::vector<ReplyChunk> chunks) {
        auto due = output_.empty() ? now : std::max(now, output_.back().due);
        for (ReplyChunk& chunk : chunks) {
            due += chunk.delay;
            output_.push_back({due, std::move(chunk.bytes)});
        }
    };
    const std::size_t skippedBefore = framer_.skippedBytes() + mbapFramer_.skippedBytes();
    while (const auto frame = framer_.next(now))
        queue(server_.serve(*frame));
    while (const auto request = mbapFramer_.next())
        queue(toMbapReply(server_.serve(request->rtu), request->transactionId));
    server_.stats().skippedBytes +=
        static_cast<long>(framer_.skippedBytes() + mbapFramer_.skippedBytes() - skippedBefore);
}

void Simulator::writeDue(Clock::time_point now) {
    std::size_t queued = 0;
    for (const PendingBytes& pending : output_)
        queued += pending.bytes.size();
    while (queued > MaxQueuedBytes && output_.size() > 1) {
        queued -= output_.front().bytes.size();
        output_.pop_front();
    }

    while (!output_.empty() && !waitingWritable_ && output_.front().due <= now) {
        PendingBytes& front = output_.front();
        // Bytes for nobody are lost, as on a real line with the port closed.
        if (!link_->isPlugged() || !link_->hasClient()) {
            output_.pop_front();
            continue;
        }
        // SIGPIPE is ignored: a client gone meanwhile makes this fail with EPIPE.
        const ssize_t written = ::write(link_->dataFd(), front.bytes.data(), front.bytes.size());
        if (written < 0) {
            if (errno == EAGAIN || errno == EINTR)
                waitingWritable_ = true;
            else
                output_.pop_front();
            continue;
        }
        front.bytes.erase(front.bytes.begin(), front.bytes.begin() + written);
        if (front.bytes.empty())
            output_.pop_front();
        else
            waitingWritable_ = true;
    }
}

void Simulator::tickModel(Clock::time_point now) {
    if (!model_.isRunning()) {
        modelWasRunning_ = false;
        return;
    }
    if (!modelWasRunning_) {
        modelWasRunning_ = true;
        nextTick_ = now + ModelPeriod;
        return;
    }
    if (now < nextTick_)
        return;
    model_.advance();
    nextTick_ += ModelPeriod;
    // After a long stall, start counting again instead of catching up in a burst.
    if (nextTick_ <= now)
        nextTick_ = now + ModelPeriod;
}

} // namespace sim

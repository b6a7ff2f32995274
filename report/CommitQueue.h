#pragma once

#include "AtomicFile.h"

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace climate::report {

// Commits prepared files one after the other on a thread of its own, so that waiting for the
// disk does not hold up the engine's tick. Files of one path are committed in the order they
// came; a failure is kept for the path until asked for.
class CommitQueue {
public:
    // Called on the commit thread right after a commit to `path` has failed (its failure is kept
    // by then).
    using FailureListener = std::function<void(const std::filesystem::path& path)>;

    // How a prepared file reaches the disk and takes its name; may throw std::system_error.
    using Committer = std::function<void(AtomicFile::Pending& pending)>;

    // `commit`: AtomicFile::commit unless given (tests give one that fails as a disk can).
    explicit CommitQueue(Committer commit = {});
    CommitQueue(const CommitQueue&) = delete;
    CommitQueue& operator=(const CommitQueue&) = delete;
    ~CommitQueue(); // commits what is still queued first

    void push(AtomicFile::Pending pending);
    // Returns once every file pushed so far has been committed or has failed.
    void waitUntilDone();
    // Why the last commit to path failed; empty when it did not. Taking it clears it.
    [[nodiscard]] std::optional<std::string> takeFailure(const std::filesystem::path& path);
    [[nodiscard]] bool failed(const std::filesystem::path& path);
    // Set before the first push.
    void setFailureListener(FailureListener listener) { m_onFailure = std::move(listener); }

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::deque<AtomicFile::Pending> m_queue;
    bool m_busy = false;
    bool m_stopping = false;
    std::map<std::filesystem::path, std::string> m_failures;
    FailureListener m_onFailure;
    Committer m_commit;
    std::thread m_thread; // started by the first push
};

} // namespace climate::report

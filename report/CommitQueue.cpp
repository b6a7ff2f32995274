#include "CommitQueue.h"

#include <system_error>

namespace climate::report {

CommitQueue::CommitQueue(Committer commit) : m_commit(std::move(commit)) {
    if (!m_commit)
        m_commit = [](AtomicFile::Pending& pending) { AtomicFile::commit(pending); };
}

CommitQueue::~CommitQueue() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void CommitQueue::push(AtomicFile::Pending pending) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(pending));
        if (!m_thread.joinable())
            m_thread = std::thread([this] { run(); });
    }
    m_wake.notify_one();
}

void CommitQueue::waitUntilDone() {
    std::unique_lock lock(m_mutex);
    m_done.wait(lock, [this] { return m_queue.empty() && !m_busy; });
}

std::optional<std::string> CommitQueue::takeFailure(const std::filesystem::path& path) {
    std::lock_guard lock(m_mutex);
    const auto found = m_failures.find(path);
    if (found == m_failures.end())
        return std::nullopt;
    std::string failure = std::move(found->second);
    m_failures.erase(found);
    return failure;
}

bool CommitQueue::failed(const std::filesystem::path& path) {
    std::lock_guard lock(m_mutex);
    return m_failures.count(path) != 0;
}

void CommitQueue::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
        if (m_queue.empty())
            return; // stopping, and nothing left to commit
        AtomicFile::Pending pending = std::move(m_queue.front());
        m_queue.pop_front();
        m_busy = true;
        lock.unlock();
        std::optional<std::string> failure;
        try {
            m_commit(pending);
        } catch (const std::system_error& error) {
            failure = error.code().message();
        }
        lock.lock();
        if (failure)
            m_failures[pending.target()] = *failure;
        else
            m_failures.erase(pending.target());
        if (failure && m_onFailure) {
            // Outside the lock, as the one told may take the failure at once. Waiters are
            // released only after it has been told.
            lock.unlock();
            m_onFailure(pending.target());
            lock.lock();
        }
        m_busy = false;
        m_done.notify_all();
    }
}

} // namespace climate::report

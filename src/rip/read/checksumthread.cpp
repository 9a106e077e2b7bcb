#include "rip/read/checksumthread.h"

#include <cstring>

namespace {
constexpr std::size_t kMostWaiting = 8;
} // namespace

ChecksumThread::ChecksumThread(TrackChecksums& checksums)
    : m_checksums(checksums), m_thread([this] { run(); }) {}

ChecksumThread::~ChecksumThread() {
    finish();
}

// The blocks go round between the reader and the thread: a new block of this size each time
// would cost the system a mapping and its page faults.
void ChecksumThread::add(const char* data, qsizetype n) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_waiting.size() < kMostWaiting; });
    QByteArray block;
    if (!m_free.empty()) {
        block = std::move(m_free.back());
        m_free.pop_back();
    }
    lock.unlock();
    block.resize(n); // within the capacity it had: no new allocation
    std::memcpy(block.data(), data, std::size_t(n));
    lock.lock();
    m_waiting.push_back(std::move(block));
    m_changed.notify_all();
}

void ChecksumThread::finish() {
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void ChecksumThread::run() {
    for (;;) {
        QByteArray block;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return !m_waiting.empty() || m_closed; });
            if (m_waiting.empty())
                return;
            block = std::move(m_waiting.front());
            m_waiting.pop_front();
        }
        m_changed.notify_all();
        m_checksums.add(block);
        const std::lock_guard lock(m_mutex);
        m_free.push_back(std::move(block));
    }
}

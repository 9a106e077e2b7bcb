#include "rip/pipeline/encoderpool.h"

#include <algorithm>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

// Encoders may take every core; the window must still answer at once. A lower priority for
// this thread, which the external encoders it starts inherit, leaves the window its turn.
void YieldToTheWindow() {
    constexpr int kEncoderNiceness = 10;
    const auto thread = static_cast<id_t>(::syscall(SYS_gettid));
    ::setpriority(PRIO_PROCESS, thread, kEncoderNiceness);
}

EncoderPool::EncoderPool(int workers) : m_capacity(static_cast<std::size_t>(std::max(1, workers))) {
    for (std::size_t k = 0; k < m_capacity; ++k)
        m_workers.emplace_back([this] { runWorker(); });
}

EncoderPool::~EncoderPool() {
    finish();
}

bool EncoderPool::add(Work work) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_stopped || m_waiting.size() < m_capacity; });
    if (m_stopped || m_closed)
        return false;
    m_waiting.push_back(std::move(work));
    m_changed.notify_all();
    return true;
}

void EncoderPool::finish() {
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    m_changed.notify_all();
    m_workers.clear(); // joins
}

void EncoderPool::stop() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
        m_waiting.clear();
    }
    m_changed.notify_all();
}

void EncoderPool::runWorker() {
    YieldToTheWindow();
    for (;;) {
        Work work;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return !m_waiting.empty() || m_closed || m_stopped; });
            if (m_waiting.empty())
                return;
            work = std::move(m_waiting.front());
            m_waiting.pop_front();
        }
        m_changed.notify_all();
        work();
    }
}

#pragma once

// The tracks the reader has put in the spool, encoded by up to K workers at once while the
// reader goes on. The reader waits when K tracks already wait, so the spool never holds more
// than the running and the waiting tracks, however long the disc.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// Lowers the calling thread's priority below the window's (reader and encoder threads).
void YieldToTheWindow();

class EncoderPool {
public:
    using Work = std::function<void()>;

    explicit EncoderPool(int workers);
    EncoderPool(const EncoderPool&) = delete;
    EncoderPool& operator=(const EncoderPool&) = delete;
    ~EncoderPool(); // finish()

    // Queues work, waiting while the queue is full; false (work not queued) after stop().
    bool add(Work work);
    // No more work comes: returns when every queued work has run.
    void finish();
    // Waiting work is dropped (the spool goes with the job) and add() refuses; running work
    // sees the job's own stop request.
    void stop();

private:
    void runWorker();

    const std::size_t m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Work> m_waiting;
    bool m_closed = false;
    bool m_stopped = false;
    std::vector<std::jthread> m_workers;
};

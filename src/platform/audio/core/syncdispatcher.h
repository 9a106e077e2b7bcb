#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

// The library thread that calls sync procedures. Anyone, the audio callback
// included, may post(); posting never blocks. The thread then runs the work
// function, which collects and calls what is due.
class SyncDispatcher {
public:
    explicit SyncDispatcher(std::function<void()> work);
    ~SyncDispatcher(); // stops and joins the thread

    void post();
    bool onDispatcherThread() const { return std::this_thread::get_id() == m_threadId; }

private:
    void run();

    std::function<void()> m_work;
    std::atomic<std::uint32_t> m_posts{0};
    std::atomic<bool> m_stop{false};
    std::atomic<std::thread::id> m_threadId;
    std::thread m_thread; // last: starts once everything above exists
};

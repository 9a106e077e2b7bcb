#pragma once

// What the window asks of a running rip, seen by its reader and its encoders: a pause while the
// Stop question is open (no audio is read until it is answered), and the stop itself.
//
// Threads: pause, resume and stop on the window's thread; the rest on any thread.

#include <atomic>
#include <condition_variable>
#include <mutex>

class RipControl {
public:
    void pause();
    void resume();
    // Ends a pause too: a stopped rip reads nothing more.
    void stop();

    bool stopRequested() const { return m_stopped.load(); }
    // The reader asks before it reads: returns once no pause holds it; true when stopped.
    bool waitWhilePaused() const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_paused = false;
    std::atomic<bool> m_stopped{false};
};

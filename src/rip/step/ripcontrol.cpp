#include "rip/step/ripcontrol.h"

void RipControl::pause() {
    const std::lock_guard lock(m_mutex);
    m_paused = true;
}

void RipControl::resume() {
    {
        const std::lock_guard lock(m_mutex);
        m_paused = false;
    }
    m_changed.notify_all();
}

void RipControl::stop() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_changed.notify_all();
}

bool RipControl::waitWhilePaused() const {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_paused || m_stopped; });
    return m_stopped;
}

#include "platform/audio/core/syncdispatcher.h"

SyncDispatcher::SyncDispatcher(std::function<void()> work)
    : m_work(std::move(work)), m_thread([this] { run(); }) {}

SyncDispatcher::~SyncDispatcher() {
    m_stop = true;
    post();
    m_thread.join();
}

void SyncDispatcher::post() {
    m_posts.fetch_add(1);
    m_posts.notify_one();
}

void SyncDispatcher::run() {
    m_threadId = std::this_thread::get_id();
    while (!m_stop) {
        const std::uint32_t seen = m_posts.load();
        m_work();
        if (m_stop)
            break;
        m_posts.wait(seen); // returns at once when something was posted meanwhile
    }
}

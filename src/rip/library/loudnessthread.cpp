#include "rip/library/loudnessthread.h"

namespace {
// About three minutes of audio: a drive never gets that far ahead, a disc image read from memory
// may.
constexpr qint64 kMostWaitingBytes = 32 * 1024 * 1024;
} // namespace

LoudnessThread::LoudnessThread() : m_thread([this] { run(); }) {}

LoudnessThread::~LoudnessThread() {
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    m_changed.notify_all();
}

void LoudnessThread::begin(int lTrack) {
    {
        const std::lock_guard lock(m_mutex);
        ++m_tracks[lTrack].readsOpen;
    }
    post({lTrack, Step::Begin, {}, false});
}

void LoudnessThread::add(int lTrack, const char* data, qsizetype n) {
    post({lTrack, Step::Data, QByteArray(data, n), false});
}

void LoudnessThread::end(int lTrack, bool whole) {
    post({lTrack, Step::End, {}, whole});
}

void LoudnessThread::post(Item item) {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_waitingBytes < kMostWaitingBytes; });
    m_waitingBytes += item.block.size();
    m_waiting.push_back(std::move(item));
    m_changed.notify_all();
}

// A block is measured outside the lock; only the reader's own track's state changes under it.
void LoudnessThread::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return !m_waiting.empty() || m_closed; });
        if (m_waiting.empty())
            return;
        Item item = std::move(m_waiting.front());
        m_waiting.pop_front();
        Measured& measured = m_tracks[item.track];
        switch (item.step) {
        case Step::Begin:
            measured.meter = LoudnessMeter();
            measured.whole = false;
            break;
        case Step::Data:
            lock.unlock();
            measured.meter.add(item.block);
            lock.lock();
            m_waitingBytes -= item.block.size();
            break;
        case Step::End:
            measured.whole = item.whole;
            --measured.readsOpen;
            break;
        }
        m_changed.notify_all();
    }
}

void LoudnessThread::waitFor(std::unique_lock<std::mutex>& lock, int lTrack) {
    m_changed.wait(lock, [&] {
        const auto found = m_tracks.find(lTrack);
        return found == m_tracks.end() || found->second.readsOpen == 0;
    });
}

std::optional<Loudness> LoudnessThread::track(int lTrack) {
    std::unique_lock lock(m_mutex);
    waitFor(lock, lTrack);
    const auto found = m_tracks.find(lTrack);
    if (found == m_tracks.end() || !found->second.whole)
        return std::nullopt;
    return found->second.meter.result();
}

std::optional<Loudness> LoudnessThread::album(const std::vector<int>& tracks) {
    std::unique_lock lock(m_mutex);
    std::vector<const LoudnessMeter*> meters;
    for (const int lTrack : tracks) {
        waitFor(lock, lTrack);
        const auto found = m_tracks.find(lTrack);
        if (found != m_tracks.end() && found->second.whole)
            meters.push_back(&found->second.meter);
    }
    if (meters.empty())
        return std::nullopt;
    return LoudnessMeter::Album(meters);
}

LoudnessFeed::LoudnessFeed(LoudnessThread* thread, int lTrack) : m_thread(thread), m_track(lTrack) {
    if (m_thread != nullptr)
        m_thread->begin(m_track);
}

LoudnessFeed::~LoudnessFeed() {
    if (m_thread != nullptr)
        m_thread->end(m_track, m_whole);
}

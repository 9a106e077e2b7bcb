#include "platform/audio/core/readahead.h"

#include <algorithm>

namespace {
constexpr std::size_t kChunkBytes = 2352 * 8; // eight CD sectors
constexpr auto kPollInterval = std::chrono::milliseconds(20);
} // namespace

void ReadAheadSignal::notify() {
    {
        std::lock_guard guard(m_mutex);
        ++m_count;
    }
    m_cv.notify_all();
}

bool ReadAheadSignal::wait(std::stop_token stop, std::optional<std::chrono::milliseconds> timeout) {
    std::unique_lock lock(m_mutex);
    const auto notified = [&] { return m_count != m_seen; };
    if (timeout)
        m_cv.wait_for(lock, stop, *timeout, notified);
    else
        m_cv.wait(lock, stop, notified);
    m_seen = m_count;
    return !stop.stop_requested();
}

ReadAhead::ReadAhead(Mixer& mixer, ReadAheadSignal& signal, StreamList playbackStreams)
    : m_mixer(mixer), m_signal(signal), m_playbackStreams(std::move(playbackStreams)),
      m_buffer(kChunkBytes), m_thread([this](std::stop_token stop) { run(stop); }) {}

ReadAhead::~ReadAhead() {
    m_thread.request_stop();
    m_thread.join();
}

void ReadAhead::run(std::stop_token stop) {
    while (!stop.stop_requested()) {
        bool progress = false;
        bool playing = false;
        for (const auto& stream : m_playbackStreams()) {
            if (stop.stop_requested())
                return;
            progress |= fill(*stream);
            playing |= wantsData(*stream);
        }
        const auto timeout = playing ? std::optional(kPollInterval) : std::nullopt;
        if (!progress && !m_signal.wait(stop, timeout))
            return;
    }
}

// The stream plays and its source has more: the output will make room in its ring.
bool ReadAhead::wantsData(Stream& stream) {
    auto lock = m_mixer.lock();
    const PlayState& p = stream.play;
    return p.active == BASS_ACTIVE_PLAYING && !p.sourceEnded && !p.readFailed;
}

// Reads one chunk into the stream's ring when there is room; true when data came.
bool ReadAhead::fill(Stream& stream) {
    std::lock_guard sourceGuard(stream.sourceMutex());
    PcmSource* source = stream.source();
    if (!source)
        return false;
    std::size_t room = 0;
    {
        auto lock = m_mixer.lock();
        const PlayState& p = stream.play;
        if (!p.sourceEnded && !p.readFailed)
            room = p.ring.space();
    }
    // Only the output takes data out meanwhile, and a seek needs the source lock
    // held here, so the room can only grow until the copy below.
    const std::size_t want = std::min(room, kChunkBytes) / kBytesPerFrame * kBytesPerFrame;
    if (want == 0)
        return false;
    const int n = source->read(m_buffer.data(), static_cast<int>(want));
    auto lock = m_mixer.lock();
    PlayState& p = stream.play;
    if (n > 0) {
        p.ring.write(m_buffer.data(), static_cast<std::size_t>(n));
    } else if (n == 0) {
        p.sourceEnded = true;
    } else {
        p.readFailed = true;
        p.readError = source->errorCode();
    }
    return n > 0;
}

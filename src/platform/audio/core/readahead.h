#pragma once

#include "platform/audio/core/mixer.h"
#include "platform/audio/core/stream.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Wakes the read-ahead thread early (a stream started, was moved or created).
class ReadAheadSignal {
public:
    void notify();
    // Waits until notified or the timeout (if any) passes; false when stop was requested.
    bool wait(std::stop_token stop, std::optional<std::chrono::milliseconds> timeout);

private:
    std::mutex m_mutex;
    std::condition_variable_any m_cv;
    std::uint64_t m_count = 0;
    std::uint64_t m_seen = 0;
};

// The reader thread of the playback streams: keeps each stream's ring filled
// from its PCM source. A read holds only that stream's source lock; the data
// is then copied into the ring under the mixer's lock. While a stream plays it
// looks for room every 20 ms; otherwise it sleeps until a stream is started,
// resumed, moved or created.
class ReadAhead {
public:
    using StreamList = std::function<std::vector<std::shared_ptr<Stream>>()>;

    ReadAhead(Mixer& mixer, ReadAheadSignal& signal, StreamList playbackStreams);
    ~ReadAhead(); // stops and joins the thread

private:
    void run(std::stop_token stop);
    bool fill(Stream& stream);
    bool wantsData(Stream& stream);

    Mixer& m_mixer;
    ReadAheadSignal& m_signal;
    StreamList m_playbackStreams;
    std::vector<char> m_buffer;
    std::jthread m_thread; // last: starts once everything above exists
};

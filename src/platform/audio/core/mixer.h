#pragma once

#include "platform/audio/core/stream.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

// Every stream and the output carry CD audio: 44100 Hz, 16-bit, stereo.
inline constexpr int kSampleRate = 44100;
inline constexpr int kBytesPerFrame = 4;
inline constexpr int kBytesPerSecond = kSampleRate * kBytesPerFrame;

// Mixes the playback streams into the output. render() runs on the output's
// thread (SDL's audio callback or the no-sound clock); it takes only the mixer's
// lock, which nobody holds across I/O, so it never waits for a disc.
class Mixer {
public:
    Mixer();

    // The lock that guards every stream's PlayState.
    std::unique_lock<std::mutex> lock() { return std::unique_lock(m_mutex); }

    void add(std::shared_ptr<Stream> stream);
    void remove(const Stream& stream);

    // Takes the events a stream raised since the last call.
    unsigned takeEvents(Stream& stream);

    // Output thread: fills frames stereo frames. True when a stream raised an event.
    bool render(std::int16_t* out, int frames);

    int masterVolume() const { return m_masterVolume; }

    // A stream plays or a slide runs: the output must run (slides run on its clock).
    bool needsOutput();

private:
    static constexpr int kBlockFrames = 2048;

    bool renderBlock(std::int16_t* out, int frames);
    bool mixStream(Stream& stream, int frames);

    std::mutex m_mutex;
    std::vector<std::shared_ptr<Stream>> m_streams; // guarded by m_mutex
    std::vector<float> m_accumulator;               // output thread only
    std::vector<std::int16_t> m_samples;            // output thread only
    std::atomic<int> m_masterVolume{100};           // the library's own volume, 0..100
};

#include "platform/audio/core/mixer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <utility>

// Stream data and the output are little-endian 16-bit samples used in place.
static_assert(std::endian::native == std::endian::little);

namespace {

// Linear balance: pan -100 silences the right channel, 0 leaves both channels at
// full level, +100 silences the left; the other channel always stays at full level.
float leftGain(float volume, float pan) {
    return volume / 100.0f * (pan > 0 ? (100 - pan) / 100 : 1);
}
float rightGain(float volume, float pan) {
    return volume / 100.0f * (pan < 0 ? (100 + pan) / 100 : 1);
}

// Moves the running slides of a stream by n frames; true when the last one just ended.
bool advanceSlides(PlayState& p, std::uint32_t n) {
    if (!p.volumeRamp.active() && !p.panRamp.active())
        return false;
    if (p.volumeRamp.active())
        p.volume = p.volumeRamp.advance(n);
    if (p.panRamp.active())
        p.pan = p.panRamp.advance(n);
    return !p.volumeRamp.active() && !p.panRamp.active();
}

std::int16_t saturate(float v) {
    return static_cast<std::int16_t>(std::lrintf(std::clamp(v, -32768.0f, 32767.0f)));
}

} // namespace

Mixer::Mixer() : m_accumulator(kBlockFrames * 2), m_samples(kBlockFrames * 2) {}

void Mixer::add(std::shared_ptr<Stream> stream) {
    std::lock_guard guard(m_mutex);
    m_streams.push_back(std::move(stream));
}

void Mixer::remove(const Stream& stream) {
    std::lock_guard guard(m_mutex);
    std::erase_if(m_streams, [&](const auto& s) { return s.get() == &stream; });
}

unsigned Mixer::takeEvents(Stream& stream) {
    std::lock_guard guard(m_mutex);
    return std::exchange(stream.play.events, 0u);
}

bool Mixer::needsOutput() {
    std::lock_guard guard(m_mutex);
    return std::any_of(m_streams.begin(), m_streams.end(), [](const auto& stream) {
        const PlayState& p = stream->play;
        return p.active == BASS_ACTIVE_PLAYING || p.volumeRamp.active() || p.panRamp.active();
    });
}

bool Mixer::render(std::int16_t* out, int frames) {
    bool raised = false;
    for (int done = 0; done < frames; done += kBlockFrames) {
        const int n = std::min(kBlockFrames, frames - done);
        raised |= renderBlock(out + done * 2, n);
    }
    return raised;
}

bool Mixer::renderBlock(std::int16_t* out, int frames) {
    std::fill_n(m_accumulator.begin(), frames * 2, 0.0f);
    bool raised = false;
    {
        std::lock_guard guard(m_mutex);
        for (const auto& stream : m_streams)
            raised |= mixStream(*stream, frames);
    }
    const float master = m_masterVolume / 100.0f;
    for (int i = 0; i < frames * 2; ++i)
        out[i] = saturate(m_accumulator[i] * master);
    return raised;
}

bool Mixer::mixStream(Stream& stream, int frames) {
    PlayState& p = stream.play;
    int got = 0;
    if (p.active == BASS_ACTIVE_PLAYING) {
        const std::size_t whole = p.ring.size() / kBytesPerFrame * kBytesPerFrame;
        const std::size_t bytes = std::min<std::size_t>(whole, frames * kBytesPerFrame);
        p.ring.read(reinterpret_cast<char*>(m_samples.data()), bytes);
        got = static_cast<int>(bytes / kBytesPerFrame);
        p.position += bytes;
    }
    const unsigned before = p.events;
    float gl = leftGain(p.volume, p.pan);
    float gr = rightGain(p.volume, p.pan);
    for (int i = 0; i < got; ++i) {
        if (p.volumeRamp.active() || p.panRamp.active()) {
            if (advanceSlides(p, 1))
                p.events |= kEventSlideDone;
            gl = leftGain(p.volume, p.pan);
            gr = rightGain(p.volume, p.pan);
        }
        m_accumulator[2 * i] += m_samples[2 * i] * gl;
        m_accumulator[2 * i + 1] += m_samples[2 * i + 1] * gr;
    }
    // Slides run on the output's clock, also while the stream is paused or stopped.
    if (got < frames && advanceSlides(p, frames - got))
        p.events |= kEventSlideDone;

    const bool drained = p.ring.size() < kBytesPerFrame;
    if (p.active == BASS_ACTIVE_PLAYING && got < frames && drained &&
        (p.sourceEnded || p.readFailed)) {
        p.active = BASS_ACTIVE_STOPPED;
        p.ring.clear();
        p.events |= p.readFailed ? kEventReadError : kEventEnd;
    }
    return p.events != before;
}

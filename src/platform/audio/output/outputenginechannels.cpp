// The channel operations of the output engine: transport, attributes, positions, data.
#include "platform/audio/output/outputengine.h"

#include "platform/audio/core/boolresult.h"
#include "platform/audio/core/lasterror.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cmath>

namespace {

// The code of a stream that has delivered all its data.
constexpr int kErrorEnded = 45;
// The longest a reader waits for an encoder to take data. The window's event loop runs
// between the rip's reads and is never to be held 20 ms; the read itself needs the rest.
constexpr auto kEncoderWait = std::chrono::milliseconds(5);

BOOL Succeed() {
    SetLastBassError(BASS_OK);
    return kTrue;
}

// Validates SetAttributes/SlideAttributes arguments; 0 when they are usable.
// Playback speed stays that of the disc: only "unchanged" and the stream's own rate pass.
int CheckAttributes(int freq, int volume, int pan) {
    if (freq != -1 && freq != 0 && freq != kSampleRate)
        return BASS_ERROR_NOTAVAIL;
    if (volume != -1 && (volume < 0 || volume > 100))
        return BASS_ERROR_ILLPARAM;
    if (pan != -101 && (pan < -100 || pan > 100))
        return BASS_ERROR_ILLPARAM;
    return BASS_OK;
}

} // namespace

DWORD OutputEngine::BASS_ChannelIsActive(DWORD handle) {
    const auto stream = find(handle);
    if (!stream)
        return FailWith(BASS_ERROR_HANDLE, BASS_ACTIVE_STOPPED);
    auto mix = m_mixer.lock();
    SetLastBassError(BASS_OK);
    return stream->play.active;
}

BOOL OutputEngine::BASS_StreamPlay(HSTREAM handle, BOOL flush, DWORD) {
    const auto stream = find(handle);
    if (!stream)
        return FailWith(BASS_ERROR_HANDLE, kFalse);
    if (stream->isDecode())
        return FailWith(BASS_ERROR_DECODE, kFalse);
    std::uint64_t from = 0;
    bool rewind = false;
    {
        auto mix = m_mixer.lock();
        const PlayState& p = stream->play;
        const bool drained = p.ring.size() < kBytesPerFrame;
        if (flush) {
            rewind = p.position != 0 || p.readFailed; // at the start, the read-ahead is kept
        } else if (drained && (p.sourceEnded || p.readFailed)) {
            rewind = true; // an ended stream plays again from the start; a failed one retries
            from = p.sourceEnded ? 0 : p.position;
        }
    }
    if (rewind && !moveTo(*stream, from))
        return kFalse;
    {
        auto mix = m_mixer.lock();
        stream->play.active = BASS_ACTIVE_PLAYING;
    }
    m_readAheadSignal.notify();
    updateOutput();
    return Succeed();
}

BOOL OutputEngine::BASS_ChannelPause(DWORD handle) {
    return switchActive(handle, BASS_ACTIVE_PLAYING, BASS_ACTIVE_PAUSED, BASS_ERROR_NOPLAY);
}

BOOL OutputEngine::BASS_ChannelResume(DWORD handle) {
    return switchActive(handle, BASS_ACTIVE_PAUSED, BASS_ACTIVE_PLAYING, BASS_ERROR_NOPAUSE);
}

// Pause and resume: a playback stream in state from goes to state to; any other state
// fails with notInState.
BOOL OutputEngine::switchActive(DWORD handle, DWORD from, DWORD to, int notInState) {
    const auto stream = find(handle);
    if (!stream)
        return FailWith(BASS_ERROR_HANDLE, kFalse);
    if (stream->isDecode())
        return FailWith(BASS_ERROR_DECODE, kFalse);
    {
        auto mix = m_mixer.lock();
        if (stream->play.active != from)
            return FailWith(notInState, kFalse);
        stream->play.active = to;
    }
    m_readAheadSignal.notify(); // the reader sleeps while nothing plays
    updateOutput();
    return Succeed();
}

// Stops without moving: the position and the read-ahead stay for a later play.
BOOL OutputEngine::BASS_ChannelStop(DWORD handle) {
    const auto stream = find(handle);
    if (!stream)
        return FailWith(BASS_ERROR_HANDLE, kFalse);
    {
        auto mix = m_mixer.lock();
        stream->play.active = BASS_ACTIVE_STOPPED;
    }
    updateOutput();
    return Succeed();
}

BOOL OutputEngine::BASS_ChannelSetAttributes(DWORD handle, int freq, int volume, int pan) {
    const auto stream = find(handle);
    if (!stream)
        return FailWith(BASS_ERROR_HANDLE, kFalse);
    if (const int error = CheckAttributes(freq, volume, pan))
        return FailWith(error, kFalse);
    auto mix = m_mixer.lock();
    PlayState& p = stream->play;
    if (volume != -1) {
        p.volumeRamp.cancel();
        p.volume = static_cast<float>(volume);
    }
    if (pan != -101) {
        p.panRamp.cancel();
        p.pan = static_cast<float>(pan);
    }
    return Succeed();
}

BOOL OutputEngine::BASS_ChannelGetAttributes(DWORD handle, DWORD* freq, DWORD* volume, int* pan) {
    const auto stream = find(handle);
    if (!stream)
        return FailWith(BASS_ERROR_HANDLE, kFalse);
    auto mix = m_mixer.lock();
    if (freq)
        *freq = kSampleRate;
    if (volume)
        *volume = static_cast<DWORD>(std::lround(stream->play.volume));
    if (pan)
        *pan = static_cast<int>(std::lround(stream->play.pan));
    return Succeed();
}

// The ramps advance with the output, one step per frame. A decode stream has no
// output, so its attributes take the target at once and the slide is done.
BOOL OutputEngine::BASS_ChannelSlideAttributes(DWORD handle, int freq, int volume, int pan,
                                               DWORD time) {
    const auto stream = find(handle);
    if (!stream)
        return FailWith(BASS_ERROR_HANDLE, kFalse);
    if (const int error = CheckAttributes(freq, volume, pan))
        return FailWith(error, kFalse);
    if (volume == -1 && pan == -101)
        return Succeed(); // nothing to slide
    const auto frames = stream->isDecode()
                            ? 0u
                            : static_cast<std::uint32_t>(std::min<std::uint64_t>(
                                  std::uint64_t{time} * kSampleRate / 1000, UINT32_MAX));
    {
        auto mix = m_mixer.lock();
        PlayState& p = stream->play;
        if (volume != -1)
            p.volumeRamp.start(p.volume, static_cast<float>(volume), frames);
        if (pan != -101)
            p.panRamp.start(p.pan, static_cast<float>(pan), frames);
        if (frames == 0) {
            p.volume = volume != -1 ? static_cast<float>(volume) : p.volume;
            p.pan = pan != -101 ? static_cast<float>(pan) : p.pan;
            p.events |= kEventSlideDone;
        }
    }
    if (frames == 0)
        m_dispatcher.post();
    updateOutput();
    return Succeed();
}

QWORD OutputEngine::BASS_StreamGetLength(HSTREAM handle) {
    const auto stream = find(handle);
    if (!stream)
        return FailWith(BASS_ERROR_HANDLE, ~QWORD{0});
    SetLastBassError(BASS_OK);
    return stream->length();
}

// Playback streams: the bytes heard (handed to the output), not the bytes read ahead.
QWORD OutputEngine::BASS_ChannelGetPosition(DWORD handle) {
    const auto stream = find(handle);
    if (!stream)
        return FailWith(BASS_ERROR_HANDLE, ~QWORD{0});
    auto mix = m_mixer.lock();
    SetLastBassError(BASS_OK);
    return stream->play.position;
}

BOOL OutputEngine::BASS_ChannelSetPosition(DWORD handle, QWORD pos) {
    const auto stream = find(handle);
    if (!stream)
        return FailWith(BASS_ERROR_HANDLE, kFalse);
    if (pos > stream->length())
        return FailWith(BASS_ERROR_POSITION, kFalse);
    if (!moveTo(*stream, pos / kBytesPerFrame * kBytesPerFrame))
        return kFalse;
    m_readAheadSignal.notify();
    return Succeed();
}

// Seeks the source and restarts the read-ahead there; sets the error code on failure.
bool OutputEngine::moveTo(Stream& stream, std::uint64_t pos) {
    std::lock_guard sourceGuard(stream.sourceMutex());
    PcmSource* source = stream.source();
    if (!source)
        return FailWith(BASS_ERROR_HANDLE, false);
    if (!source->seek(pos))
        return FailWith(source->errorCode() ? source->errorCode() : BASS_ERROR_POSITION, false);
    auto mix = m_mixer.lock();
    PlayState& p = stream.play;
    p.ring.clear();
    p.position = pos;
    p.sourceEnded = false;
    p.readFailed = false;
    p.readError = BASS_OK;
    if (stream.isDecode())
        p.active = pos < stream.length() ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED;
    return true;
}

float OutputEngine::BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos) {
    if (!find(handle))
        return FailWith(BASS_ERROR_HANDLE, -1.0f);
    SetLastBassError(BASS_OK);
    return static_cast<float>(static_cast<double>(pos) / kBytesPerSecond);
}

// Flags 0: 16-bit samples, the only kind a CD stream has.
BOOL OutputEngine::BASS_ChannelGetInfo(DWORD handle, BASS_CHANNELINFO* info) {
    if (!find(handle))
        return FailWith(BASS_ERROR_HANDLE, kFalse);
    if (!info)
        return FailWith(BASS_ERROR_ILLPARAM, kFalse);
    *info = BASS_CHANNELINFO{kSampleRate, 2, 0};
    return Succeed();
}

// Decode streams: the source's bytes exactly, read on the caller's thread. A
// read error after some data returns that data; the next call then meets the error.
// With an encoder attached, the bytes go to it as well; an encoder that falls
// behind gets the reader fewer bytes (even none), never a wait longer than
// kEncoderWait, and one that has gone ends the stream with its error.
int OutputEngine::BASS_ChannelGetData(DWORD handle, void* buffer, DWORD length) {
    const auto stream = find(handle);
    if (!stream)
        return FailWith(BASS_ERROR_HANDLE, -1);
    if (!stream->isDecode())
        return FailWith(BASS_ERROR_NOTAVAIL, -1);
    if (!buffer)
        return FailWith(BASS_ERROR_ILLPARAM, -1);
    std::lock_guard sourceGuard(stream->sourceMutex());
    if (!stream->source())
        return FailWith(BASS_ERROR_HANDLE, -1);
    {
        auto mix = m_mixer.lock();
        if (stream->play.active != BASS_ACTIVE_PLAYING)
            return FailWith(kErrorEnded, -1);
    }
    int wanted = static_cast<int>(std::min<DWORD>(length, INT_MAX));
    DataTap* tap = stream->tap.get();
    if (tap) {
        const long room = tap->room(static_cast<std::size_t>(wanted), kEncoderWait);
        if (room < 0) {
            auto mix = m_mixer.lock();
            stream->play.active = BASS_ACTIVE_STOPPED;
            return FailWith(tap->error(), -1);
        }
        if (room < wanted)
            wanted = static_cast<int>(room) / kBytesPerFrame * kBytesPerFrame;
    }
    char* out = static_cast<char*>(buffer);
    const int total = readDecoded(*stream, out, wanted);
    if (tap && total > 0)
        tap->deliver(out, static_cast<std::size_t>(total));
    return total;
}

// Reads up to wanted bytes from the stream's source (its lock held) and moves its position.
int OutputEngine::readDecoded(Stream& stream, char* out, int wanted) {
    PcmSource* source = stream.source();
    int total = 0;
    bool ended = false;
    while (total < wanted) {
        const int n = source->read(out + total, wanted - total);
        if (n < 0 && total == 0)
            return FailWith(source->errorCode() ? source->errorCode() : BASS_ERROR_UNKNOWN, -1);
        if (n <= 0) {
            ended = n == 0;
            break;
        }
        total += n;
    }
    bool raised = false;
    {
        auto mix = m_mixer.lock();
        PlayState& p = stream.play;
        p.position += static_cast<std::uint64_t>(total);
        if (ended || p.position >= stream.length()) {
            p.active = BASS_ACTIVE_STOPPED;
            p.events |= kEventEnd;
            raised = true;
        }
    }
    if (raised)
        m_dispatcher.post();
    SetLastBassError(BASS_OK);
    return total;
}

// ---- encoder taps ------------------------------------------------------------

int OutputEngine::tapCandidate(HSTREAM handle, std::uint64_t& bytesLeft) {
    const auto stream = find(handle);
    if (!stream)
        return BASS_ERROR_HANDLE;
    if (!stream->isDecode())
        return BASS_ERROR_NOTAVAIL; // encoders are fed by the reader of a decode stream
    std::lock_guard sourceGuard(stream->sourceMutex());
    if (stream->tap)
        return BASS_ERROR_ALREADY;
    auto mix = m_mixer.lock();
    bytesLeft = stream->length() - std::min(stream->play.position, stream->length());
    return BASS_OK;
}

int OutputEngine::attachTap(HSTREAM handle, std::shared_ptr<DataTap> tap) {
    const auto stream = find(handle);
    if (!stream)
        return BASS_ERROR_HANDLE;
    std::lock_guard sourceGuard(stream->sourceMutex());
    if (!stream->source())
        return BASS_ERROR_HANDLE;
    if (stream->tap)
        return BASS_ERROR_ALREADY;
    stream->tap = std::move(tap);
    return BASS_OK;
}

void OutputEngine::detachTap(HSTREAM handle) {
    if (const auto stream = find(handle)) {
        std::lock_guard sourceGuard(stream->sourceMutex());
        stream->tap.reset();
    }
}

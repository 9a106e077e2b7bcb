#include "platform/audio/output/outputengine.h"

#include "platform/audio/core/boolresult.h"
#include "platform/audio/core/lasterror.h"
#include "platform/audio/output/nulloutput.h"
#include "platform/audio/output/sdloutput.h"

#include <exception>
#include <utility>

namespace {
constexpr std::size_t kReadAheadBytes = kBytesPerSecond * 3 / 2; // 1.5 s per playback stream
constexpr int kFileOwner = -1;                                   // file streams belong to no drive

BOOL Succeed() {
    SetLastBassError(BASS_OK);
    return kTrue;
}
} // namespace

OutputEngine::OutputEngine() : m_dispatcher([this] { dispatchPending(); }) {}

OutputEngine::~OutputEngine() {
    BASS_Free();
}

// freq: every stream is CD audio, so the output always runs at 44100 Hz and SDL
// converts to whatever the hardware takes. flags, win and clsid are not needed here.
BOOL OutputEngine::BASS_Init(int device, DWORD, DWORD, void*, void*) {
    std::lock_guard life(m_lifecycle);
    if (m_output)
        return FailWith(BASS_ERROR_ALREADY, kFalse);
    if (device != 0 && device != 1)
        return FailWith(BASS_ERROR_DEVICE, kFalse);
    auto render = [this](std::int16_t* out, int frames) {
        if (m_mixer.render(out, frames))
            m_dispatcher.post();
    };
    try {
        int error = BASS_ERROR_DRIVER;
        std::unique_ptr<AudioOutput> output;
        if (device == 1)
            output = SdlOutput::open(render, error);
        else
            output = std::make_unique<NullOutput>(render);
        if (!output)
            return FailWith(error, kFalse);
        auto readAhead = std::make_unique<ReadAhead>(m_mixer, m_readAheadSignal,
                                                     [this] { return playbackStreams(); });
        m_output = std::move(output);
        m_readAhead = std::move(readAhead);
    } catch (const std::exception&) {
        return FailWith(BASS_ERROR_DRIVER, kFalse); // no thread could be started
    }
    updateOutputLocked();
    std::lock_guard guard(m_mutex);
    m_initialised = true;
    return Succeed();
}

void OutputEngine::updateOutput() {
    std::lock_guard life(m_lifecycle);
    updateOutputLocked();
}

void OutputEngine::updateOutputLocked() {
    if (m_output)
        m_output->setRunning(m_mixer.needsOutput());
}

BOOL OutputEngine::BASS_Free() {
    bool wasInitialised = false;
    {
        std::lock_guard life(m_lifecycle);
        {
            std::lock_guard guard(m_mutex);
            wasInitialised = std::exchange(m_initialised, false);
        }
        m_output.reset();    // joins the output's thread: no more mixing
        m_readAhead.reset(); // joins the reader thread: no more reads
    }
    // Not under m_lifecycle: a sync procedure running now may itself call Init or Free.
    freeAllStreams();
    return wasInitialised ? Succeed() : FailWith(BASS_ERROR_INIT, kFalse);
}

BOOL OutputEngine::BASS_Stop() {
    {
        std::lock_guard guard(m_mutex);
        if (!m_initialised)
            return FailWith(BASS_ERROR_INIT, kFalse);
        auto mix = m_mixer.lock();
        for (auto& [handle, stream] : m_streams) {
            if (!stream->isDecode() && stream->play.active == BASS_ACTIVE_PLAYING)
                stream->play.active = BASS_ACTIVE_PAUSED;
        }
    }
    updateOutput();
    return Succeed();
}

// Floating-point processing: the mixer has no effects to feed, so either choice is met.
BOOL OutputEngine::BASS_SetConfig(DWORD option, DWORD) {
    if (option != BASS_CONFIG_FLOATDSP)
        return FailWith(BASS_ERROR_ILLTYPE, kFalse);
    return Succeed();
}

// The library's own master volume, which exists with or without an output.
int OutputEngine::BASS_GetVolume() {
    SetLastBassError(BASS_OK);
    return m_mixer.masterVolume();
}

int OutputEngine::BASS_ErrorGetCode() {
    return LastBassError();
}

// From a file only (mem 0), whole (offset and length 0): what the converter opens.
HSTREAM OutputEngine::BASS_StreamCreateFile(BOOL mem, const void* file, QWORD offset, QWORD length,
                                            DWORD flags) {
    if (mem || offset != 0 || length != 0)
        return FailWith(BASS_ERROR_NOTAVAIL, HSTREAM{0});
    if (!file)
        return FailWith(BASS_ERROR_FILEOPEN, HSTREAM{0});
    if (m_fileCodecs == nullptr)
        return FailWith(BASS_ERROR_NOTAVAIL, HSTREAM{0});
    int error = BASS_OK;
    auto source = m_fileCodecs->openFile(static_cast<const char*>(file), error);
    if (!source)
        return FailWith(error, HSTREAM{0});
    return createStream(std::move(source), flags, kFileOwner);
}

BOOL OutputEngine::BASS_GetFileFacts(const char* path, AudioFileFacts* facts) {
    if (path == nullptr || facts == nullptr)
        return FailWith(BASS_ERROR_ILLPARAM, kFalse);
    const std::optional<AudioFileFacts> read =
        m_fileCodecs ? m_fileCodecs->fileFacts(path) : std::nullopt;
    if (!read) {
        *facts = {{}, 0, "the FFmpeg module that reads audio files did not load"};
        return FailWith(BASS_ERROR_NOTAVAIL, kFalse);
    }
    *facts = *read;
    if (!facts->reason.empty())
        return FailWith(BASS_ERROR_FILEOPEN, kFalse);
    return Succeed();
}

HSTREAM OutputEngine::createStream(std::unique_ptr<PcmSource> source, DWORD flags, int owner) {
    if (!source)
        return FailWith(BASS_ERROR_ILLPARAM, HSTREAM{0});
    const bool decode = (flags & BASS_STREAM_DECODE) != 0;
    HSTREAM handle = 0;
    {
        std::lock_guard guard(m_mutex);
        // Decode streams need no output, so ripping works without a sound device.
        if (!decode && !m_initialised)
            return FailWith(BASS_ERROR_INIT, HSTREAM{0});
        do {
            ++m_lastHandle;
        } while (m_lastHandle == 0 || m_streams.contains(m_lastHandle));
        handle = m_lastHandle;
        auto stream = std::make_shared<Stream>(handle, std::move(source), flags, owner,
                                               decode ? 0 : kReadAheadBytes);
        if (decode && stream->length() > 0)
            stream->play.active = BASS_ACTIVE_PLAYING;
        m_streams.emplace(handle, stream);
        if (!decode)
            m_mixer.add(stream);
    }
    if (!decode)
        m_readAheadSignal.notify();
    SetLastBassError(BASS_OK);
    return handle;
}

void OutputEngine::freeStreamsOf(int owner) {
    {
        std::unique_lock lock(m_mutex);
        std::vector<HSTREAM> owned;
        for (const auto& [handle, stream] : m_streams) {
            if (stream->owner() == owner)
                owned.push_back(handle);
        }
        for (HSTREAM handle : owned)
            freeStream(lock, handle);
    }
    updateOutput();
}

std::optional<SectorDamage> OutputEngine::damageOf(HSTREAM handle) {
    const auto stream = find(handle);
    if (!stream)
        return std::nullopt;
    std::lock_guard sourceGuard(stream->sourceMutex());
    const PcmSource* source = stream->source();
    return source ? std::optional(source->damage()) : std::nullopt;
}

BOOL OutputEngine::BASS_StreamFree(HSTREAM handle) {
    {
        std::unique_lock lock(m_mutex);
        if (!freeStream(lock, handle))
            return FailWith(BASS_ERROR_HANDLE, kFalse);
    }
    updateOutput();
    return Succeed();
}

std::shared_ptr<Stream> OutputEngine::find(DWORD handle) {
    std::lock_guard guard(m_mutex);
    const auto it = m_streams.find(handle);
    return it == m_streams.end() ? nullptr : it->second;
}

std::vector<std::shared_ptr<Stream>> OutputEngine::playbackStreams() {
    std::lock_guard guard(m_mutex);
    std::vector<std::shared_ptr<Stream>> list;
    for (const auto& [handle, stream] : m_streams) {
        if (!stream->isDecode())
            list.push_back(stream);
    }
    return list;
}

// Called with m_mutex held (it may be released while waiting for a sync procedure).
// A disc read in progress is never waited for: the reader closes the source when it returns.
bool OutputEngine::freeStream(std::unique_lock<std::mutex>& lock, HSTREAM handle) {
    // 0 is no stream; it is also what m_inSync holds while no sync procedure runs.
    if (handle == 0)
        return false;
    // A sync procedure of this stream may run right now; its stream stays valid
    // until it returns. Inside that procedure (this thread) there is nothing to wait for.
    if (!m_dispatcher.onDispatcherThread())
        m_syncReturned.wait(lock, [&] { return m_inSync != handle; });
    const auto it = m_streams.find(handle);
    if (it == m_streams.end())
        return false;
    std::shared_ptr<Stream> stream = std::move(it->second);
    m_streams.erase(it);
    m_mixer.remove(*stream);
    stream->releaseSource();
    if (stream->tap)
        std::exchange(stream->tap, nullptr)->close(); // its encoder ends with what it has
    return true;
}

void OutputEngine::freeAllStreams() {
    std::unique_lock lock(m_mutex);
    while (!m_streams.empty())
        freeStream(lock, m_streams.begin()->first);
}

#include "platform/audio/output/sdloutput.h"

#include "common/audiolibrary.h"
#include "platform/audio/core/mixer.h"

namespace {
constexpr Uint16 kDeviceFrames = 1024; // about 23 ms per callback
constexpr auto kCloseAfter = std::chrono::seconds(2);
} // namespace

namespace {
// SDL would otherwise take over SIGINT and SIGTERM for its own quit event, which
// nobody here reads: the player could then not be stopped from outside.
bool InitAudioSubsystem() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
}
} // namespace

SdlOutput::AudioSubsystem::AudioSubsystem() : m_ok(InitAudioSubsystem()) {}

SdlOutput::AudioSubsystem::~AudioSubsystem() {
    if (m_ok)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

SdlOutput::SdlOutput(RenderCallback render)
    : m_render(std::move(render)), m_closer([this](std::stop_token stop) { closeWhenIdle(stop); }) {
}

SdlOutput::~SdlOutput() {
    m_closer.request_stop();
    m_closer.join();
}

std::unique_ptr<SdlOutput> SdlOutput::open(RenderCallback render, int& error) {
    std::unique_ptr<SdlOutput> output(new SdlOutput(std::move(render)));
    if (!output->m_subsystem.ok() || !output->openDevice()) {
        error = BASS_ERROR_DEVICE;
        return nullptr;
    }
    // Nothing plays yet: the device waits paused and closes after a while, as after a pause.
    // Closing it here would hold the caller until SDL's device thread ends (tens of ms, on
    // the window's way to the screen).
    output->setRunning(false);
    return output;
}

// A device that cannot be opened again (unplugged) stays silent; the next play tries anew.
void SdlOutput::setRunning(bool running) {
    std::lock_guard guard(m_mutex);
    if (running) {
        m_closeAt.reset();
        if (m_device || openDevice())
            SDL_PauseAudioDevice(m_device.get().id, 0);
        return;
    }
    if (!m_device || m_closeAt)
        return;
    SDL_PauseAudioDevice(m_device.get().id, 1);
    m_closeAt = Clock::now() + kCloseAfter;
    m_idle.notify_all();
}

// Sleeps until the device has been paused for a while, then closes it (which returns once
// no callback runs any more).
void SdlOutput::closeWhenIdle(std::stop_token stop) {
    std::unique_lock lock(m_mutex);
    while (!stop.stop_requested()) {
        if (!m_closeAt) {
            m_idle.wait(lock, stop, [this] { return m_closeAt.has_value(); });
            continue;
        }
        const Clock::time_point due = *m_closeAt;
        if (m_idle.wait_until(lock, stop, due, [this, due] { return m_closeAt != due; }))
            continue; // played again, or paused anew
        if (stop.stop_requested())
            return;
        m_device.reset();
        m_closeAt.reset();
    }
}

bool SdlOutput::openDevice() {
    SDL_AudioSpec wanted{};
    wanted.freq = kSampleRate;
    wanted.format = AUDIO_S16LSB;
    wanted.channels = 2;
    wanted.samples = kDeviceFrames;
    wanted.callback = &SdlOutput::fill;
    wanted.userdata = this;
    // No changes allowed: SDL converts to whatever the hardware takes.
    const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (id == 0)
        return false;
    m_device.reset(SdlDeviceId(id));
    return true;
}

void SDLCALL SdlOutput::fill(void* self, Uint8* stream, int len) {
    static_cast<SdlOutput*>(self)->m_render(reinterpret_cast<std::int16_t*>(stream),
                                            len / kBytesPerFrame);
}

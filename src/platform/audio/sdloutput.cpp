#include "platform/audio/sdloutput.h"

#include "common/audiolibrary.h"
#include "platform/audio/mixer.h"

namespace {
constexpr Uint16 kDeviceFrames = 1024; // about 23 ms per callback
}

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

SdlOutput::SdlOutput(RenderCallback render) : m_render(std::move(render)) {}

SdlOutput::~SdlOutput() = default;

// The device opens paused; the engine starts it when a stream plays.
std::unique_ptr<SdlOutput> SdlOutput::open(RenderCallback render, int& error) {
    std::unique_ptr<SdlOutput> output(new SdlOutput(std::move(render)));
    if (!output->m_subsystem.ok() || !output->openDevice()) {
        error = BASS_ERROR_DEVICE;
        return nullptr;
    }
    return output;
}

void SdlOutput::setRunning(bool running) {
    SDL_PauseAudioDevice(m_device.get().id, running ? 0 : 1);
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

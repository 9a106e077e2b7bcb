#pragma once

#include "platform/audio/output/audiooutput.h"

#include <SDL2/SDL.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// SDL names devices by number; this makes the number usable as a unique_ptr handle.
struct SdlDeviceId {
    SDL_AudioDeviceID id;
    SdlDeviceId(std::nullptr_t = nullptr) : id(0) {}
    explicit SdlDeviceId(SDL_AudioDeviceID value) : id(value) {}
    explicit operator bool() const { return id != 0; }
    bool operator==(const SdlDeviceId&) const = default;
};
struct SdlDeviceCloser {
    using pointer = SdlDeviceId;
    void operator()(SdlDeviceId device) const { SDL_CloseAudioDevice(device.id); }
};

// The default output device through SDL2 audio. The driver is SDL's choice, so
// SDL_AUDIODRIVER selects it (the tests use SDL's "dummy" and "disk" drivers).
// Stopped, the device is paused at once and closed two seconds later: a paused SDL
// device still wakes its thread once a period, 43 times a second, for as long as the
// player sits idle. The delay keeps it open from one track to the next and across a
// short pause, so the sound goes on without a gap; it opens again when something plays.
class SdlOutput final : public AudioOutput {
public:
    // Null with error set to the library code when no usable device can be opened (it is
    // opened once here to find out, and closed again until something plays).
    static std::unique_ptr<SdlOutput> open(RenderCallback render, int& error);
    ~SdlOutput() override;

    void setRunning(bool running) override;

private:
    // Keeps SDL's audio subsystem initialised while an output uses it.
    class AudioSubsystem {
    public:
        AudioSubsystem();
        ~AudioSubsystem();
        AudioSubsystem(const AudioSubsystem&) = delete;
        AudioSubsystem& operator=(const AudioSubsystem&) = delete;
        bool ok() const { return m_ok; }

    private:
        bool m_ok;
    };

    explicit SdlOutput(RenderCallback render);
    bool openDevice();
    void closeWhenIdle(std::stop_token stop);
    static void SDLCALL fill(void* self, Uint8* stream, int len);

    using Clock = std::chrono::steady_clock;

    RenderCallback m_render;
    AudioSubsystem m_subsystem;
    std::mutex m_mutex; // guards the device and the closing time
    std::condition_variable_any m_idle;
    std::optional<Clock::time_point> m_closeAt;                   // set while paused and still open
    std::unique_ptr<SDL_AudioDeviceID, SdlDeviceCloser> m_device; // closed before the subsystem
    std::jthread m_closer; // last: stops and joins before the device closes
};

#pragma once

#include "platform/audio/audiooutput.h"

#include <SDL2/SDL.h>

#include <memory>

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
// Stopped, the device is paused: no callback runs, but SDL's own thread still
// wakes once a period (the device stays open, so its output stays continuous).
class SdlOutput final : public AudioOutput {
public:
    // Null with error set to the library code when no usable device can be opened.
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
    static void SDLCALL fill(void* self, Uint8* stream, int len);

    RenderCallback m_render;
    AudioSubsystem m_subsystem;
    std::unique_ptr<SDL_AudioDeviceID, SdlDeviceCloser> m_device; // closed before the subsystem
};

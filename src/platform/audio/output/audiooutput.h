#pragma once

#include <cstdint>
#include <functional>

// Fills frames stereo 16-bit frames at 44100 Hz; called on the output's own thread.
using RenderCallback = std::function<void(std::int16_t* out, int frames)>;

// An open output: it pulls audio through its render callback while running, and
// its destructor returns only when no callback runs any more. It starts stopped.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // Stopped, it costs nothing: no thread wakes up. Never called from the render callback.
    virtual void setRunning(bool running) = 0;
};

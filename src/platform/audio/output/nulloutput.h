#pragma once

#include "platform/audio/output/audiooutput.h"

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// The "no sound" device: a thread that takes the mixed audio at the pace of a
// real device and drops it, so positions, ends and slides advance in real time.
class NullOutput final : public AudioOutput {
public:
    explicit NullOutput(RenderCallback render);
    ~NullOutput() override;

    void setRunning(bool running) override;

private:
    void run(std::stop_token stop);

    RenderCallback m_render;
    std::vector<std::int16_t> m_buffer;
    std::mutex m_mutex;
    std::condition_variable_any m_wake;
    bool m_running = false; // guarded by m_mutex
    std::jthread m_thread;  // last: starts once everything above exists
};

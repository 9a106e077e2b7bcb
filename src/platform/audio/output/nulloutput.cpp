#include "platform/audio/output/nulloutput.h"

#include "platform/audio/core/mixer.h"

#include <chrono>

namespace {
constexpr int kBlockFrames = 1024;
}

NullOutput::NullOutput(RenderCallback render)
    : m_render(std::move(render)), m_buffer(kBlockFrames * 2),
      m_thread([this](std::stop_token stop) { run(stop); }) {}

NullOutput::~NullOutput() {
    m_thread.request_stop();
    m_thread.join();
}

void NullOutput::setRunning(bool running) {
    {
        std::lock_guard guard(m_mutex);
        m_running = running;
    }
    m_wake.notify_all();
}

void NullOutput::run(std::stop_token stop) {
    using Clock = std::chrono::steady_clock;
    const auto block = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(static_cast<double>(kBlockFrames) / kSampleRate));
    auto deadline = Clock::now();
    std::unique_lock lock(m_mutex);
    while (!stop.stop_requested()) {
        if (!m_running) {
            if (!m_wake.wait(lock, stop, [&] { return m_running; }))
                return;
            deadline = Clock::now(); // the clock restarts where it was stopped
        }
        lock.unlock();
        m_render(m_buffer.data(), kBlockFrames);
        lock.lock();
        deadline += block;
        m_wake.wait_until(lock, stop, deadline, [&] { return !m_running; });
    }
}

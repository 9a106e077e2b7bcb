#pragma once

// Drive events a test sends, through a pipe the library's event loop watches as it watches
// udev's socket.

#include "platform/audio/cd/driveevents.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <mutex>
#include <stdexcept>
#include <utility>

class FakeDriveEvents final : public DriveEventSource {
public:
    FakeDriveEvents() {
        if (::pipe2(m_pipe.data(), O_NONBLOCK | O_CLOEXEC) != 0)
            throw std::runtime_error("no pipe");
    }
    ~FakeDriveEvents() override {
        ::close(m_pipe[0]);
        ::close(m_pipe[1]);
    }
    // From the test's thread; the library owns the source by then.
    void send(DriveEvent::Kind kind, const std::string& node) {
        {
            const std::lock_guard lock(m_mutex);
            m_waiting.push_back({kind, node});
        }
        if (::write(m_pipe[1], "!", 1) != 1)
            throw std::runtime_error("pipe full");
    }

    int fd() const override { return m_pipe[0]; }
    std::vector<DriveEvent> take() override {
        char drained[64];
        while (::read(m_pipe[0], drained, sizeof drained) > 0) {
        }
        const std::lock_guard lock(m_mutex);
        return std::exchange(m_waiting, {});
    }

private:
    std::array<int, 2> m_pipe{};
    std::mutex m_mutex;
    std::vector<DriveEvent> m_waiting;
};

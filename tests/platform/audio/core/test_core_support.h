#pragma once

// Test doubles for the audio core tests: an in-memory PCM source, a source stuck in a read,
// a sync recorder.

#include "common/audiolibrary.h"
#include "platform/audio/core/pcmsource.h"
#include "support/testenv.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace coretest {

inline constexpr std::uint64_t kSecond = 176400; // bytes of one second of CD audio
inline constexpr int kReadErrorCode = BASS_ERROR_NOCD;

// PCM generated in memory, no two blocks alike. Optionally fails every read from byte
// failAfter on.
class FakePcmSource final : public PcmSource {
public:
    explicit FakePcmSource(std::uint64_t length, std::optional<std::uint64_t> failAfter = {})
        : m_length(length), m_failAfter(failAfter) {}

    std::uint64_t length() const override { return m_length; }

    int read(char* buffer, int n) override {
        std::uint64_t end = std::min<std::uint64_t>(m_length, m_pos + n);
        if (m_failAfter) {
            if (m_pos >= *m_failAfter) {
                m_error = kReadErrorCode;
                return -1;
            }
            end = std::min(end, *m_failAfter);
        }
        for (std::uint64_t i = m_pos; i < end; ++i)
            buffer[i - m_pos] = static_cast<char>(i * 7 + i / 4099);
        const int count = static_cast<int>(end - m_pos);
        m_pos = end;
        return count;
    }

    bool seek(std::uint64_t byte) override {
        if (byte > m_length)
            return false;
        m_pos = byte / 4 * 4;
        return true;
    }

    int errorCode() const override { return m_error; }

private:
    std::uint64_t m_length;
    std::optional<std::uint64_t> m_failAfter;
    std::uint64_t m_pos = 0;
    int m_error = BASS_OK;
};

// A source whose reads block until the test opens the latch: a disc stuck in a slow read.
class LatchSource final : public PcmSource {
public:
    struct Latch {
        std::atomic<bool> entered{false};
        std::atomic<bool> open{false};
    };
    explicit LatchSource(std::shared_ptr<Latch> latch) : m_latch(std::move(latch)) {}

    std::uint64_t length() const override { return kSecond; }
    int read(char* buffer, int n) override {
        m_latch->entered = true;
        m_latch->open.wait(false);
        std::fill_n(buffer, n, 0);
        return n;
    }
    bool seek(std::uint64_t) override { return true; }
    int errorCode() const override { return BASS_OK; }

private:
    std::shared_ptr<Latch> m_latch;
};

inline void OpenLatch(LatchSource::Latch& latch) {
    latch.open = true;
    latch.open.notify_all();
}

// Records the calls of a sync procedure; pass the recorder as the user value.
class SyncRecorder {
public:
    struct Call {
        HSYNC sync;
        DWORD channel;
        DWORD data;
        std::thread::id thread;
    };

    static void Proc(HSYNC sync, DWORD channel, DWORD data, void* user) {
        auto* self = static_cast<SyncRecorder*>(user);
        std::lock_guard guard(self->m_mutex);
        self->m_calls.push_back(Call{sync, channel, data, std::this_thread::get_id()});
    }

    std::vector<Call> calls() const {
        std::lock_guard guard(m_mutex);
        return m_calls;
    }
    std::size_t count() const {
        std::lock_guard guard(m_mutex);
        return m_calls.size();
    }
    bool waitFor(std::size_t n) {
        return WaitUntil([&] { return count() >= n; });
    }

private:
    mutable std::mutex m_mutex;
    std::vector<Call> m_calls;
};

} // namespace coretest

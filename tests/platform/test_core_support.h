#pragma once

// Test doubles for the audio core tests: an in-memory PCM source, a source stuck in a read,
// a sync recorder.

#include "common/audiolibrary.h"
#include "platform/audio/pcmsource.h"
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

// Deterministic, asymmetric stereo: the channels differ, no sample is zero and
// every sample is even, so halving is exact and swaps or offsets show.
inline std::int16_t LeftSample(std::uint64_t frame) {
    return static_cast<std::int16_t>(2 * (500 + (frame * 37) % 10000));
}
inline std::int16_t RightSample(std::uint64_t frame) {
    return static_cast<std::int16_t>(-2 * (300 + (frame * 53) % 9000));
}

// PCM generated in memory. Optionally fails every read from byte failAfter on,
// or plays one constant frame (for overflow checks).
class FakePcmSource final : public PcmSource {
public:
    explicit FakePcmSource(std::uint64_t length, std::optional<std::uint64_t> failAfter = {})
        : m_length(length), m_failAfter(failAfter) {}

    static std::unique_ptr<FakePcmSource> constant(std::uint64_t length, std::int16_t left,
                                                   std::int16_t right) {
        auto source = std::make_unique<FakePcmSource>(length);
        source->m_constant = {left, right};
        return source;
    }

    static char ByteAt(std::uint64_t offset) {
        const std::int16_t sample =
            (offset % 4) < 2 ? LeftSample(offset / 4) : RightSample(offset / 4);
        const auto bits = static_cast<std::uint16_t>(sample);
        return static_cast<char>(offset % 2 == 0 ? bits & 0xFF : bits >> 8);
    }

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
            buffer[i - m_pos] = byteAt(i);
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
    char byteAt(std::uint64_t offset) const {
        if (!m_constant)
            return ByteAt(offset);
        const auto bits =
            static_cast<std::uint16_t>((offset % 4) < 2 ? m_constant->first : m_constant->second);
        return static_cast<char>(offset % 2 == 0 ? bits & 0xFF : bits >> 8);
    }

    std::uint64_t m_length;
    std::optional<std::uint64_t> m_failAfter;
    std::optional<std::pair<std::int16_t, std::int16_t>> m_constant;
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

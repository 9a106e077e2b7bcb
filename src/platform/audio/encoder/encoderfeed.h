#pragma once

#include "common/audiolibrary.h"
#include "platform/audio/core/bytering.h"
#include "platform/audio/core/datatap.h"
#include "platform/audio/encoder/childprocess.h"
#include "platform/audio/encoder/fdhandle.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// Feeds a running encoder on its standard input: a WAV header with the real
// size, then every byte the stream delivers, through a bounded queue that a
// pump thread of its own writes out. The same thread drains the encoder's
// standard output and standard error, so an unread pipe never blocks it, and
// keeps the tail of the standard error for the report.
//
// Threads: room, deliver and close come from the stream's reader (one at a
// time, under the stream's source lock); finish from the encoder's owner. A
// reader never waits longer than it asks in room(): when the encoder falls
// behind, it is handed fewer bytes, never held.
class EncoderFeed final : public DataTap {
public:
    EncoderFeed(std::unique_ptr<ChildProcess> child, std::uint32_t dataBytes);
    ~EncoderFeed() override;
    EncoderFeed(const EncoderFeed&) = delete;
    EncoderFeed& operator=(const EncoderFeed&) = delete;

    long room(std::size_t wanted, std::chrono::milliseconds maxWait) override;
    void deliver(const char* data, std::size_t n) override;
    int error() const override;
    void close() override;

    // Closes the encoder's input once everything delivered is written, waits
    // for the encoder to end and tells how it went (the caller names the program).
    EncoderOutcome finish();
    // Ends the encoder without waiting for its file: what is queued is dropped, its input
    // closed, and it is sent SIGTERM, then SIGKILL when it is still there a moment later.
    void end();
    // True once the encoder has ended (after its input was closed, or by itself).
    bool ended() const { return m_ended.load(); }

private:
    using Clock = std::chrono::steady_clock;

    // Pump thread.
    void run();
    bool refillChunk();
    void pumpOnce();
    void writeInput();
    void readOutput(FdHandle& fd, bool keepTail);
    void encoderGone();
    void failFeeding(int code);
    void closeInput();
    void watchTimeouts();
    void endNow(Clock::time_point now);
    void kill(int signal);
    void reap();
    void wake();
    void drainWake();

    std::unique_ptr<ChildProcess> m_child;
    const std::uint32_t m_dataBytes;

    mutable std::mutex m_mutex; // guards the queue, the close request and the error
    std::condition_variable m_roomFreed;
    ByteRing m_queue;
    bool m_closing = false;
    std::atomic<bool> m_endWanted{false};
    std::atomic<bool> m_ended{false};
    int m_error = BASS_OK;

    // Pump thread only, until it is joined.
    FdHandle m_wake;
    FdHandle m_input;
    FdHandle m_output;
    FdHandle m_errors;
    std::vector<char> m_chunk;
    std::size_t m_chunkSize = 0;
    std::size_t m_chunkSent = 0;
    std::size_t m_headerLeft = 0;
    std::uint64_t m_fed = 0;
    Clock::time_point m_lastProgress;
    std::optional<Clock::time_point> m_inputClosedAt;
    std::optional<Clock::time_point> m_terminatedAt; // sent SIGTERM by end()
    bool m_killed = false;
    std::string m_errorTail;
    int m_waitStatus = 0;

    std::thread m_thread; // last: starts once everything above exists
};

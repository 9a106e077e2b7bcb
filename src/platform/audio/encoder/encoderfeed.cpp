#include "platform/audio/encoder/encoderfeed.h"

#include "platform/audio/encoder/wavheader.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr std::size_t kQueueBytes = 4 * 262144; // four of the rip's blocks
constexpr std::size_t kChunkBytes = 65536;      // what one write to the encoder offers
constexpr std::size_t kErrorTailBytes = 4096;
constexpr int kPollMs = 100;
// An encoder that takes nothing for this long is taken for hung.
constexpr auto kStallTimeout = std::chrono::seconds(30);
// Time an encoder has to finish its file once its input is closed.
constexpr auto kExitGrace = std::chrono::seconds(30);
// Time an encoder that was asked to end has before it is killed.
constexpr auto kTermGrace = std::chrono::milliseconds(200);

// A write to an encoder that has gone raises SIGPIPE for the writing thread.
// Blocked here, it stays pending on this thread alone and the write fails with
// EPIPE instead of ending the program.
void BlockPipeSignalOnThisThread() {
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
}

void DiscardPendingPipeSignal() {
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    const timespec now{0, 0};
    while (sigtimedwait(&pipeSignal, nullptr, &now) == SIGPIPE) {
    }
}

bool SetNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

} // namespace

EncoderFeed::EncoderFeed(std::unique_ptr<ChildProcess> child, std::uint32_t dataBytes)
    : m_child(std::move(child)), m_dataBytes(dataBytes), m_queue(kQueueBytes),
      m_wake(AdoptFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))), m_input(m_child->takeInput()),
      m_output(m_child->takeOutput()), m_errors(m_child->takeErrors()), m_chunk(kChunkBytes),
      m_lastProgress(Clock::now()), m_thread([this] { run(); }) {}

EncoderFeed::~EncoderFeed() {
    finish();
}

long EncoderFeed::room(std::size_t wanted, std::chrono::milliseconds maxWait) {
    std::unique_lock lock(m_mutex);
    // Room is offered in pieces of a chunk at least: trickling a few pages at a time would
    // wake the encoder and this feed for every page.
    const std::size_t needed = std::min({wanted, m_queue.capacity(), kChunkBytes});
    m_roomFreed.wait_for(lock, maxWait, [&] {
        return m_error != BASS_OK || m_closing || m_queue.space() >= needed;
    });
    if (m_error != BASS_OK || m_closing)
        return -1;
    return m_queue.space() >= needed ? static_cast<long>(m_queue.space()) : 0;
}

void EncoderFeed::deliver(const char* data, std::size_t n) {
    {
        std::lock_guard guard(m_mutex);
        if (m_error != BASS_OK || m_closing)
            return;
        m_queue.write(data, n);
    }
    wake();
}

int EncoderFeed::error() const {
    std::lock_guard guard(m_mutex);
    return m_error != BASS_OK ? m_error : BASS_ERROR_ENCODER;
}

void EncoderFeed::close() {
    {
        std::lock_guard guard(m_mutex);
        m_closing = true;
    }
    m_roomFreed.notify_all();
    wake();
}

void EncoderFeed::end() {
    m_endWanted = true;
    close();
}

EncoderOutcome EncoderFeed::finish() {
    close();
    if (m_thread.joinable())
        m_thread.join();
    EncoderOutcome outcome;
    outcome.started = true;
    {
        std::lock_guard guard(m_mutex);
        outcome.error = m_error;
    }
    outcome.bytesFed = m_fed;
    outcome.exited = WIFEXITED(m_waitStatus);
    outcome.exitStatus = outcome.exited ? WEXITSTATUS(m_waitStatus) : -1;
    outcome.signal = WIFSIGNALED(m_waitStatus) ? WTERMSIG(m_waitStatus) : 0;
    outcome.errorTail = m_errorTail;
    return outcome;
}

void EncoderFeed::wake() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto n = ::write(FdOf(m_wake), &one, sizeof one);
}

void EncoderFeed::drainWake() {
    std::uint64_t count = 0;
    [[maybe_unused]] const auto n = ::read(FdOf(m_wake), &count, sizeof count);
}

// ---- pump thread ------------------------------------------------------------

void EncoderFeed::run() {
    BlockPipeSignalOnThisThread();
    const auto header = WavHeader(m_dataBytes);
    std::copy(header.begin(), header.end(), m_chunk.begin());
    m_chunkSize = header.size();
    m_headerLeft = header.size();
    if (!SetNonBlocking(FdOf(m_input)))
        failFeeding(BASS_ERROR_UNKNOWN);
    while (m_input || m_output || m_errors)
        pumpOnce();
    reap();
    m_ended = true;
}

void EncoderFeed::pumpOnce() {
    if (m_input && m_chunkSent == m_chunkSize && !refillChunk())
        closeInput();
    std::array<pollfd, 4> fds{{{FdOf(m_wake), POLLIN, 0},
                               {FdOf(m_input), 0, 0},
                               {FdOf(m_output), POLLIN, 0},
                               {FdOf(m_errors), POLLIN, 0}}};
    if (m_chunkSent < m_chunkSize)
        fds[1].events = POLLOUT; // a closed encoder input is reported even without events
    if (poll(fds.data(), fds.size(), kPollMs) < 0 && errno != EINTR)
        failFeeding(BASS_ERROR_UNKNOWN);
    if (fds[0].revents)
        drainWake();
    if (fds[2].revents)
        readOutput(m_output, false);
    if (fds[3].revents)
        readOutput(m_errors, true);
    if (m_input && (fds[1].revents & POLLOUT))
        writeInput();
    else if (m_input && (fds[1].revents & (POLLERR | POLLHUP)))
        encoderGone();
    watchTimeouts();
}

// Takes the next queued bytes; false when nothing is queued and the input may close.
bool EncoderFeed::refillChunk() {
    std::size_t taken = 0;
    bool closing = false;
    {
        std::lock_guard guard(m_mutex);
        taken = m_queue.read(m_chunk.data(), m_chunk.size());
        closing = m_closing;
    }
    if (taken > 0)
        m_roomFreed.notify_all();
    m_chunkSize = taken;
    m_chunkSent = 0;
    return taken > 0 || !closing;
}

void EncoderFeed::writeInput() {
    const ssize_t n =
        ::write(FdOf(m_input), m_chunk.data() + m_chunkSent, m_chunkSize - m_chunkSent);
    if (n > 0) {
        const auto written = static_cast<std::size_t>(n);
        const std::size_t header = std::min(written, m_headerLeft);
        m_headerLeft -= header;
        m_fed += written - header;
        m_chunkSent += written;
        m_lastProgress = Clock::now();
    } else if (n < 0 && errno == EPIPE) {
        DiscardPendingPipeSignal();
        encoderGone();
    } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
        failFeeding(BASS_ERROR_UNKNOWN);
    }
}

// The encoder closed its input. Once it has all the header promised that is its
// right; before, it has failed.
void EncoderFeed::encoderGone() {
    if (m_fed >= m_dataBytes)
        closeInput();
    else
        failFeeding(BASS_ERROR_ENCODER);
}

// Ends the feeding: what is queued is dropped and the reader hears of it at its next room().
void EncoderFeed::failFeeding(int code) {
    {
        std::lock_guard guard(m_mutex);
        if (m_error == BASS_OK)
            m_error = code;
        m_queue.clear();
    }
    m_roomFreed.notify_all();
    m_chunkSize = m_chunkSent = 0;
    closeInput();
}

void EncoderFeed::closeInput() {
    if (!m_input)
        return;
    m_input.reset();
    m_inputClosedAt = Clock::now();
}

void EncoderFeed::readOutput(FdHandle& fd, bool keepTail) {
    std::array<char, 4096> buffer;
    const ssize_t n = ::read(FdOf(fd), buffer.data(), buffer.size());
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
        fd.reset();
        return;
    }
    if (n < 0 || !keepTail)
        return;
    m_errorTail.append(buffer.data(), static_cast<std::size_t>(n));
    if (m_errorTail.size() > kErrorTailBytes)
        m_errorTail.erase(0, m_errorTail.size() - kErrorTailBytes);
}

void EncoderFeed::watchTimeouts() {
    if (m_killed)
        return;
    const auto now = Clock::now();
    if (m_endWanted && !m_terminatedAt)
        endNow(now);
    const bool stalled =
        m_input && m_chunkSent < m_chunkSize && now - m_lastProgress > kStallTimeout;
    const bool lingering = m_inputClosedAt && now - *m_inputClosedAt > kExitGrace;
    const bool unwilling = m_terminatedAt && now - *m_terminatedAt > kTermGrace;
    if (stalled)
        failFeeding(BASS_ERROR_TIMEOUT);
    if (stalled || lingering || unwilling)
        kill(SIGKILL);
}

// What is queued is not worth waiting for: the encoder's input closes and it is asked to end.
void EncoderFeed::endNow(Clock::time_point now) {
    {
        std::lock_guard guard(m_mutex);
        m_queue.clear();
    }
    m_chunkSize = m_chunkSent = 0;
    closeInput();
    m_child->kill(SIGTERM);
    m_terminatedAt = now;
}

void EncoderFeed::kill(int signal) {
    m_child->kill(signal);
    m_killed = signal == SIGKILL;
}

// Both output pipes are closed; the encoder ends now or is ended.
void EncoderFeed::reap() {
    const auto since = Clock::now();
    while (!m_child->tryWait(m_waitStatus)) {
        const auto grace = m_terminatedAt ? kTermGrace : kExitGrace;
        if (!m_killed && Clock::now() - since > grace)
            kill(SIGKILL);
        poll(nullptr, 0, 5);
    }
}

#include "platform/audio/encoder/encoderextension.h"

#include "platform/audio/core/boolresult.h"
#include "platform/audio/core/lasterror.h"
#include "platform/audio/encoder/childprocess.h"
#include "platform/audio/encoder/commandline.h"
#include "platform/audio/encoder/programlookup.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace {
// Encoder handles live in a range of their own, so BASS_Encode_Stop tells them from streams.
constexpr HENCODE kFirstEncoderHandle = 0x40000000;
} // namespace

EncoderExtension::EncoderExtension(DecodeTaps& taps, std::string appFolder)
    : m_taps(taps), m_appFolder(std::move(appFolder)) {}

EncoderExtension::~EncoderExtension() {
    std::vector<Running> running;
    {
        std::lock_guard guard(m_mutex);
        running.swap(m_running);
    }
    for (Running& encoder : running)
        stop(std::move(encoder));
}

HENCODE EncoderExtension::BASS_Encode_Start(DWORD handle, const char* cmdline, DWORD, ENCODEPROC*,
                                            void*) {
    const auto arguments = SplitCommandLine(cmdline ? cmdline : "");
    if (!arguments || arguments->empty())
        return refuse({}, BASS_ERROR_ILLPARAM);
    const std::string program = ProgramBaseName(arguments->front());
    std::uint64_t bytesLeft = 0;
    if (const int error = m_taps.tapCandidate(handle, bytesLeft))
        return refuse(program, error);
    const auto path = FindProgram(arguments->front(), m_appFolder, std::getenv("PATH"));
    if (!path)
        return refuse(program, BASS_ERROR_FILEOPEN);
    return startFeeding(handle, *arguments, *path, bytesLeft);
}

HENCODE EncoderExtension::startFeeding(HSTREAM stream, const std::vector<std::string>& arguments,
                                       const std::string& path, std::uint64_t bytesLeft) {
    const std::string program = ProgramBaseName(arguments.front());
    // The process list shows the program that runs ("lame"), not the command line's "lame.exe".
    std::vector<std::string> argv = arguments;
    argv.front() = std::filesystem::path(path).filename().string();
    int spawnError = 0;
    auto child = ChildProcess::start(path, argv, spawnError);
    if (!child)
        return refuse(program, BASS_ERROR_FILEOPEN);
    const auto dataBytes =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(bytesLeft, UINT32_MAX));
    auto feed = std::make_shared<EncoderFeed>(std::move(child), dataBytes);
    if (const int error = m_taps.attachTap(stream, feed)) {
        feed->finish(); // the stream went meanwhile: the encoder ends on an empty input
        return refuse(program, error);
    }
    std::lock_guard guard(m_mutex);
    do {
        m_lastHandle = std::max(m_lastHandle + 1, kFirstEncoderHandle);
    } while (std::any_of(m_running.begin(), m_running.end(),
                         [&](const Running& r) { return r.encoder == m_lastHandle; }));
    m_running.push_back({m_lastHandle, stream, program, std::move(feed)});
    SetLastBassError(BASS_OK);
    return m_lastHandle;
}

HENCODE EncoderExtension::refuse(std::string program, int error) {
    {
        std::lock_guard guard(m_mutex);
        EncoderOutcome& outcome = m_lastOutcome[std::this_thread::get_id()];
        outcome = EncoderOutcome{};
        outcome.program = std::move(program);
        outcome.error = error;
    }
    return FailWith(error, HENCODE{0});
}

BOOL EncoderExtension::BASS_Encode_Stop(DWORD handle) {
    auto running = take(handle);
    if (!running)
        return FailWith(BASS_ERROR_HANDLE, kFalse);
    EncoderOutcome outcome = stop(std::move(*running));
    {
        std::lock_guard guard(m_mutex);
        m_lastOutcome[std::this_thread::get_id()] = std::move(outcome);
    }
    SetLastBassError(BASS_OK);
    return kTrue;
}

BOOL EncoderExtension::BASS_Encode_StopEx(DWORD handle, BOOL queue) {
    if (!queue)
        return FailWith(BASS_ERROR_NOTAVAIL, kFalse);
    const auto feed = feedOf(handle);
    if (!feed)
        return FailWith(BASS_ERROR_HANDLE, kFalse);
    feed->close();
    SetLastBassError(BASS_OK);
    return kTrue;
}

BOOL EncoderExtension::BASS_Encode_End(DWORD handle) {
    const auto feed = feedOf(handle);
    if (!feed)
        return FailWith(BASS_ERROR_HANDLE, kFalse);
    feed->end();
    SetLastBassError(BASS_OK);
    return kTrue;
}

DWORD EncoderExtension::BASS_Encode_IsActive(DWORD handle) {
    const auto feed = feedOf(handle);
    SetLastBassError(feed ? BASS_OK : BASS_ERROR_HANDLE);
    return feed && !feed->ended() ? BASS_ACTIVE_PLAYING : BASS_ACTIVE_STOPPED;
}

std::shared_ptr<EncoderFeed> EncoderExtension::feedOf(DWORD handle) {
    std::lock_guard guard(m_mutex);
    const auto it = std::find_if(m_running.begin(), m_running.end(), [&](const Running& r) {
        return r.encoder == handle || r.stream == handle;
    });
    return it == m_running.end() ? nullptr : it->feed;
}

std::optional<EncoderExtension::Running> EncoderExtension::take(DWORD handle) {
    std::lock_guard guard(m_mutex);
    const auto it = std::find_if(m_running.begin(), m_running.end(), [&](const Running& r) {
        return r.encoder == handle || r.stream == handle;
    });
    if (it == m_running.end())
        return std::nullopt;
    Running running = std::move(*it);
    m_running.erase(it);
    return running;
}

// The reader stops feeding first, so what the encoder gets ends at a block boundary.
EncoderOutcome EncoderExtension::stop(Running running) {
    m_taps.detachTap(running.stream);
    EncoderOutcome outcome = running.feed->finish();
    outcome.program = running.program;
    return outcome;
}

EncoderOutcome EncoderExtension::lastEncoderOutcome() {
    std::lock_guard guard(m_mutex);
    const auto it = m_lastOutcome.find(std::this_thread::get_id());
    return it == m_lastOutcome.end() ? EncoderOutcome{} : it->second;
}

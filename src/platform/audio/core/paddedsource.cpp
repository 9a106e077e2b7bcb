#include "platform/audio/core/paddedsource.h"

#include "common/audiolibrary.h"
#include "platform/audio/core/lasterror.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {
constexpr int kFrameBytes = 4;
}

PaddedSource::PaddedSource(std::unique_ptr<PcmSource> inner, const Layout& layout)
    : m_inner(std::move(inner)), m_layout(layout) {}

std::uint64_t PaddedSource::length() const {
    return m_layout.silenceBefore + m_layout.data + m_layout.silenceAfter;
}

int PaddedSource::read(char* buffer, int n) {
    if (m_pendingError != 0)
        return fail(std::exchange(m_pendingError, 0));
    if (n < 0)
        return fail(BASS_ERROR_ILLPARAM);
    if (n >= kFrameBytes)
        n -= n % kFrameBytes;
    const std::uint64_t dataEnd = m_layout.silenceBefore + m_layout.data;
    int done = 0;
    while (done < n && m_position < length()) {
        const std::uint64_t wanted = std::uint64_t(n - done);
        int got = 0;
        if (m_position < m_layout.silenceBefore || m_position >= dataEnd) {
            const std::uint64_t until =
                m_position < m_layout.silenceBefore ? m_layout.silenceBefore : length();
            got = static_cast<int>(std::min(wanted, until - m_position));
            std::memset(buffer + done, 0, std::size_t(got));
        } else {
            got = readData(buffer + done, static_cast<int>(std::min(wanted, dataEnd - m_position)));
            if (got < 0) {
                if (done == 0)
                    return -1;
                m_pendingError = m_error; // the frames read before go out first
                break;
            }
        }
        m_position += std::uint64_t(got);
        done += got;
    }
    return done;
}

int PaddedSource::readData(char* buffer, int n) {
    if (!m_innerPlaced) {
        if (!m_inner->seek(m_layout.skip + m_position - m_layout.silenceBefore))
            return fail(m_inner->errorCode());
        m_innerPlaced = true;
    }
    const int got = m_inner->read(buffer, n);
    if (got < 0)
        return fail(m_inner->errorCode());
    return got > 0 ? got : fail(BASS_ERROR_NOCD); // the sectors ended before the stretch did
}

bool PaddedSource::seek(std::uint64_t byte) {
    if (byte > length()) {
        fail(BASS_ERROR_POSITION);
        return false;
    }
    m_position = byte - byte % kFrameBytes;
    m_innerPlaced = false;
    m_pendingError = 0;
    return true;
}

SectorDamage PaddedSource::damage() const {
    return m_inner ? m_inner->damage() : SectorDamage{};
}

int PaddedSource::fail(int code) {
    m_error = code;
    SetLastBassError(code);
    return -1;
}

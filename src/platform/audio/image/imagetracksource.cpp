#include "platform/audio/image/imagetracksource.h"

#include "common/audiolibrary.h"
#include "platform/audio/core/lasterror.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include <unistd.h>

namespace {
constexpr int kFrameBytes = 4; // one 16-bit stereo sample frame
}

std::unique_ptr<ImageTrackSource>
ImageTrackSource::open(const ImageExtent& extent, std::shared_ptr<const DiscPresence> presence) {
    FileHandle file(std::fopen(extent.file.c_str(), "rb"));
    if (!file)
        return FailWith(BASS_ERROR_FILEOPEN, nullptr);
    return std::unique_ptr<ImageTrackSource>(
        new ImageTrackSource(std::move(file), extent, std::move(presence)));
}

ImageTrackSource::ImageTrackSource(FileHandle file, const ImageExtent& extent,
                                   std::shared_ptr<const DiscPresence> presence)
    : m_file(std::move(file)), m_offset(extent.fileOffset), m_length(extent.byteLength()),
      m_presence(std::move(presence)), m_ticket(m_presence->ticket()) {}

int ImageTrackSource::read(char* buffer, int n) {
    if (m_pendingError != 0)
        return fail(std::exchange(m_pendingError, 0));
    if (!m_presence->holds(m_ticket))
        return fail(BASS_ERROR_NOCD);
    if (n < 0)
        return fail(BASS_ERROR_ILLPARAM);
    if (n >= kFrameBytes)
        n -= n % kFrameBytes;
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(n, m_length - m_position));
    if (wanted == 0)
        return 0;
    int error = BASS_OK;
    std::size_t done = readFile(buffer, wanted, error);
    if (done < wanted) {
        // The image is shorter than its sheet, or unreadable: the disc is unreadable from
        // here on. The whole frames read before go out now; the error comes with the next read.
        done -= done % kFrameBytes;
        if (done == 0)
            return fail(error);
        m_pendingError = error;
    }
    m_position += done;
    return static_cast<int>(done);
}

// pread: one system call a block, no seek and no copy through a stdio buffer. The file's end
// before the stretch's is the image being shorter than its sheet says; any other failure is
// a disc that cannot be read.
std::size_t ImageTrackSource::readFile(char* buffer, std::size_t wanted, int& error) {
    std::size_t done = 0;
    while (done < wanted) {
        const ssize_t got = pread(fileno(m_file.get()), buffer + done, wanted - done,
                                  static_cast<off_t>(m_offset + m_position + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            error = got == 0 ? BASS_ERROR_IMAGESHORT : BASS_ERROR_NOCD;
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

bool ImageTrackSource::seek(std::uint64_t byte) {
    if (byte > m_length) {
        fail(BASS_ERROR_POSITION);
        return false;
    }
    m_position = byte - byte % kFrameBytes;
    m_pendingError = 0;
    return true;
}

int ImageTrackSource::fail(int code) {
    m_error = code;
    SetLastBassError(code);
    return -1;
}

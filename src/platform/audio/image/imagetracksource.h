#pragma once

#include "platform/audio/core/pcmsource.h"
#include "platform/audio/disc/cdiohandles.h"
#include "platform/audio/disc/disclayout.h"
#include "platform/audio/disc/discpresence.h"

#include <memory>

// The PCM of a stretch of a disc image's sectors, read straight from the image's
// file through a file handle of its own (byte for byte: a raw BIN holds
// little-endian 16-bit stereo, as the stream engine wants it). Reading fails
// once the virtual drive's door has been opened under it, and when the file
// ends before the stretch does (BASS_ERROR_IMAGESHORT). A read that fails
// part-way returns the data read before the error; the next read fails.
class ImageTrackSource : public PcmSource {
public:
    // Null when the file cannot be opened (the last error is then set).
    static std::unique_ptr<ImageTrackSource> open(const ImageExtent& extent,
                                                  std::shared_ptr<const DiscPresence> presence);

    std::uint64_t length() const override { return m_length; }
    int read(char* buffer, int n) override;
    bool seek(std::uint64_t byte) override;
    int errorCode() const override { return m_error; }

private:
    ImageTrackSource(FileHandle file, const ImageExtent& extent,
                     std::shared_ptr<const DiscPresence> presence);
    int fail(int code);
    // Bytes read at the position, fewer on a read error or at the end of the file; error
    // tells which.
    std::size_t readFile(char* buffer, std::size_t wanted, int& error);

    FileHandle m_file;
    std::uint64_t m_offset;
    std::uint64_t m_length;
    std::uint64_t m_position = 0;
    std::shared_ptr<const DiscPresence> m_presence;
    std::uint64_t m_ticket;
    int m_error = 0;
    int m_pendingError = 0; // met after some data was read; reported by the next read
};

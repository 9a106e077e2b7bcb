#pragma once

#include "platform/audio/core/sectordamage.h"

#include <cstdint>

// Where a stream's audio comes from: 44100 Hz, 16-bit little-endian, stereo PCM.
// The CD extension provides sources for disc tracks (images and real drives);
// the stream engine pulls from them, on its reader thread for playback streams
// and on the caller's thread for decode streams.
class PcmSource {
public:
    virtual ~PcmSource() = default;

    // Total length in bytes.
    virtual std::uint64_t length() const = 0;

    // Reads up to n bytes at the current position. Returns the bytes read (0 at
    // the end of the track) or -1 on a read error, with errorCode() telling why.
    // A read that fails part-way returns the bytes it got; the next read fails.
    virtual int read(char* buffer, int n) = 0;

    // Moves the read position to a byte offset (rounded down to a whole sample frame).
    virtual bool seek(std::uint64_t byte) = 0;

    // The library error code of the last failed read or seek.
    virtual int errorCode() const = 0;

    // What a careful read had to patch over or could not read; images are read exactly.
    virtual SectorDamage damage() const { return {}; }
};

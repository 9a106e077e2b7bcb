#pragma once

// Where the sound of a ripped track goes, block by block, when the program writes the file
// itself: the WAV writer or the FLAC encoder.

#include "rip/ripfailure.h"

#include <QtGlobal>

#include <optional>

class TrackSink {
public:
    virtual ~TrackSink() = default;
    // n bytes of 16-bit stereo PCM, little-endian, left first.
    virtual std::optional<RipFailure> append(const char* data, qsizetype n) = 0;
    // Ends the file so that it is valid and says what it holds.
    virtual std::optional<RipFailure> finish() = 0;
};

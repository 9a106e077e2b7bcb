#pragma once

// What the reader learns about a track while it reads it, for the verification and the rip
// log: the checksums of the audio as read, and what the drive had to give up on.

#include "verify/trackchecksums.h"

#include <optional>

struct TrackReading {
    std::optional<TrackChecksums> checksums; // fed every block read
    bool wholeTrack = false;                 // the reader reached the track's end
    qint64 bytes = 0;                        // the track's length, as its stream tells it
    int patchedSectors = 0;
    int readErrors = 0;
};

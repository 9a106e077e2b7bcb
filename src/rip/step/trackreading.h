#pragma once

// What the reader learns about a track while it reads it, for the verification and the rip
// log: the checksums of the audio as read, what the drive had to give up on, and whether the
// disc it read was still the listed one.

#include "verify/trackchecksums.h"

#include <QString>

#include <optional>
#include <vector>

struct TrackReading {
    std::optional<TrackChecksums> checksums; // fed every block read
    bool wholeTrack = false;                 // the reader reached the track's end
    qint64 bytes = 0;                        // the track's length, as its stream tells it
    int patchedSectors = 0;
    int readErrors = 0;
    // Each whole read's CRC32 in order, when the track was read more than once: the last is the
    // read the checksums above are of.
    std::vector<quint32> readCrcs;
    std::optional<QString> discLost; // why the listed disc could not be read on
};

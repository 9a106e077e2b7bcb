#pragma once

// Finding a drive's read offset with the AccurateRip database: the frame-450 checksum of a few
// tracks, computed for every shift of the samples read around the track's sector 450, against
// the ones the database holds for the disc. The database's checksums are those of the audio
// where it truly lies, so the shift at which they match is the drive's read offset.

#include "verify/dbar.h"

#include <QByteArray>
#include <QList>

// How far either way the offset is looked for, in samples.
inline constexpr int kOffsetSearchRange = 2940;
// The samples to read of each track: from this first one (counted from 0), this many, read with
// no read offset.
inline constexpr qint64 kOffsetWindowFirst = 450 * 588 - kOffsetSearchRange;
inline constexpr qint64 kOffsetWindowSamples = 588 + 2 * kOffsetSearchRange;

struct OffsetWindow {
    int entry = 0;  // the track's entry in the database: its position on the disc, from 0
    QByteArray pcm; // 16-bit stereo little-endian
};

struct OffsetSearch {
    enum class Outcome { Found, NoMatch, OneTrack, Disagree };

    Outcome outcome = Outcome::NoMatch;
    int offset = 0; // when found
    int tracks = 0; // when found, the tracks that agree on it; else those that matched at all
};

// Found when at least two tracks match at the same offset. Of several such offsets (pressings
// of the disc whose audio lies differently) the one most tracks agree on wins, then the one with
// the higher confidence; a tie counts as disagreement. Responses for other disc ids and zero
// checksums (placeholders, or silence) never match.
OffsetSearch SearchOffset(const QList<DbarResponse>& responses, const AccurateRipIds& disc,
                          const QList<OffsetWindow>& windows);

// The frame-450 checksum of the 588 samples from sample first of pcm on.
quint32 Frame450Checksum(const QByteArray& pcm, qint64 first);

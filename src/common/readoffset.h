#pragma once

// Where to read a track so that a drive's read offset is undone. A read offset of +R means the
// disc's sample x comes out of the drive at position x + R, so the track is read R samples
// further on; what lies before the disc's start or past its end comes as silence. In a header
// of its own because the audio library, which applies the offset, and the rip share it.

#include <QtGlobal>

#include <algorithm>

struct OffsetRead {
    qint64 firstSample = 0; // the first disc sample to read
    qint64 samples = 0;     // how many to read from there
    qint64 silenceBefore = 0;
    qint64 silenceAfter = 0; // silenceBefore + samples + silenceAfter = the track's length
};

// All counts in stereo samples (588 a sector); discSamples is the audio's end on the disc.
inline OffsetRead PlanOffsetRead(qint64 trackFirstSample, qint64 trackSamples, qint64 discSamples,
                                 int readOffset) {
    const qint64 start = trackFirstSample + readOffset;
    const qint64 end = start + trackSamples;
    OffsetRead read;
    read.silenceBefore = std::clamp(-start, qint64(0), trackSamples);
    read.silenceAfter = std::clamp(end - discSamples, qint64(0), trackSamples - read.silenceBefore);
    read.samples = trackSamples - read.silenceBefore - read.silenceAfter;
    read.firstSample = start + read.silenceBefore;
    return read;
}

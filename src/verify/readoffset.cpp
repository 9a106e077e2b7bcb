#include "verify/readoffset.h"

#include <algorithm>

OffsetRead PlanOffsetRead(qint64 trackFirstSample, qint64 trackSamples, qint64 discSamples,
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

#pragma once

#include "common/disctoc.h"
#include "common/readoffset.h"
#include "platform/audio/core/pcmsource.h"

#include <functional>
#include <memory>

// Where a track's audio lies once the drive's read offset is undone, in disc samples. Reading
// stays within the run of audio tracks that holds the track: a data track next to it is
// silence, as are the disc's start and the audio's end. trackSamples: the length the drive
// gives the track, which the shifted track keeps. Track -1, the hidden track, starts at the
// disc's start and belongs to the first track's run.
OffsetRead PlanShiftedTrack(const DiscToc& toc, int track, qint64 trackSamples, int readOffset);

// Opens the disc's sectors [firstSector, firstSector + sectorCount) as one source; null with the
// last error set.
using SectorSpanOpener =
    std::function<std::unique_ptr<PcmSource>(qint32 firstSector, qint32 sectorCount)>;

// The shifted track: the sectors that hold the plan's samples, read through open, between the
// plan's silence. Null with the last error set when open fails.
std::unique_ptr<PcmSource> OpenShiftedTrack(const OffsetRead& plan, const SectorSpanOpener& open);

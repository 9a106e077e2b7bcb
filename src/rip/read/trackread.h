#pragma once

// Reading one disc track into a WAV file. "Read each track twice": a track is read once for its
// checksums alone (the test read, which writes nothing), then into its file (the copy read), and
// the two CRC32s compared. When they differ it is read into its file again, up to five times more,
// until the last read agrees with an earlier one: the file then holds a read that another read
// confirms. A track whose reads never agree is unstable and not ripped.

#include "common/disctoc.h"
#include "rip/step/ripcontext.h"
#include "rip/step/trackoutcome.h"

// Reads the track into the WAV file at path (the track's staged file, or the spool), block by
// block at the drive's speed, the window's pause and stop seen before every block; when the job
// reads each track twice, until two reads agree. Ripped when the whole track went into the file,
// stopped short when the user's Stop ended it (the file finished with what it got); any failure,
// also one that comes while a Stop is pending, is told to the user and is the outcome. A track
// the drive could read only by patching sectors over, or with reads that failed, is not ripped.
// toc bounds the track for its checksums. job.reading ends up with the read the file holds; its
// readCrcs name every read. Failures name the file shownName.
TrackOutcome ReadTrackToWav(const RipContext& job, const DiscToc& toc, const DiscTrack& track,
                            const QString& path, const QString& shownName);

// The most reads of a track: the test read, the copy read and five more.
inline constexpr int kMostReadsOfATrack = 7;

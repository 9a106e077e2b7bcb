#pragma once

// "Read each track twice": a track is read once for its checksums alone (the test read, which
// writes nothing), then into its file (the copy read), and the two CRC32s compared. When they
// differ it is read into its file again, up to five times more, until the last read agrees with
// an earlier one: the file then holds a read that another read confirms. A track whose reads
// never agree is unstable and not ripped.

#include "common/disctoc.h"
#include "rip/step/ripcontext.h"
#include "rip/step/trackoutcome.h"

// Reads the track into the WAV file at path (the track's staged file, or the
// spool) as ExtractAudioTrackToWav does, and when the job reads each track twice until two
// reads agree. job.reading ends up with the read the file holds; its readCrcs name every read.
// Failures name the file shownName.
TrackOutcome ReadTrackToWav(const RipContext& job, const DiscTrack& track, const QString& path,
                            const QString& shownName);

// The most reads of a track: the test read, the copy read and five more.
inline constexpr int kMostReadsOfATrack = 7;

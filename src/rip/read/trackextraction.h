#pragma once

// Copies one disc track, block by block, at the drive's speed; the window's pause and stop are
// seen before every block. Ripped when the whole track was read (and went into its file), stopped
// short when the user's Stop ended it (the file finished with what it got); any failure, also one
// that comes while a Stop is pending, is told to the user and is the outcome. A track the drive
// could read only by patching sectors over, or with reads that failed, is not ripped.

#include "common/disctoc.h"
#include "rip/step/ripcontext.h"
#include "rip/step/trackoutcome.h"

// Into a WAV file at path (the track's staged file, or the spool); failures name the file
// shownName.
TrackOutcome ExtractAudioTrackToWav(const RipContext& job, const DiscTrack& track,
                                    const QString& path, const QString& shownName);

// Only for the checksums: nothing is written.
TrackOutcome ReadTrackForChecksums(const RipContext& job, const DiscTrack& track);

#pragma once

#include "common/disctoc.h"
#include "rip/ripcontext.h"
#include "rip/trackoutcome.h"

// Copies the track into a WAV file at path (the track's staged file, or the
// spool). Failures name the file shownName.
TrackOutcome ExtractAudioTrackToWav(const RipContext& job, const DiscTrack& track,
                                    const QString& path, const QString& shownName);

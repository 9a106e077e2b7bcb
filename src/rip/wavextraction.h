#pragma once

#include "rip/ripcontext.h"
#include "rip/trackoutcome.h"

// Copies track lTrack (0-based) into a WAV file at path (the track's staged file, or the
// spool). Failures name the file shownName.
TrackOutcome ExtractAudioTrackToWav(const RipContext& job, int lTrack, const QString& path,
                                    const QString& shownName);

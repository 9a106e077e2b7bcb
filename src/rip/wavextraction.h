#pragma once

#include "rip/ripcontext.h"

// Copies track lTrack (0-based) into a WAV file at path (TRACKn.WAV of the output folder, or
// the spool); true when the whole track was written. Failures name the file shownName.
bool ExtractAudioTrackToWav(const RipContext& job, int lTrack, const QString& path,
                            const QString& shownName);

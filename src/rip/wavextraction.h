#pragma once

#include "rip/ripcontext.h"

// Copies track lTrack (0-based) into TRACKn.WAV of the output folder; true when the whole
// track was written.
bool ExtractAudioTrackToWav(const RipContext& job, int lTrack);

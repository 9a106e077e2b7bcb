#pragma once

#include "rip/ripcontext.h"

class StagedFile;

// Copies track lTrack (0-based) into file (TRACKn.WAV of the output folder); true when the
// whole track was written.
bool ExtractAudioTrackToWav(const RipContext& job, int lTrack, const StagedFile& file);

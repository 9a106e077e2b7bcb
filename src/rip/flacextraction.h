#pragma once

#include "rip/ripcontext.h"

class StagedFile;

// Encodes track lTrack (0-based) into file (TRACKn.flac of the output folder) at compression
// level 0 to 8; true when the whole track was encoded.
bool ExtractAudioTrackToFlac(const RipContext& job, int lTrack, int level, const StagedFile& file);

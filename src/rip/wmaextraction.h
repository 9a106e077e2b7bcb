#pragma once

#include "rip/ripcontext.h"

class StagedFile;

// Encodes track lTrack (0-based) at lngBitrate bits per second into TRACKn.WMA of the output
// folder, with the tags of the WMA options when they are ticked; true when the whole track
// was encoded.
bool ExtractAudioTrackToWMA(const RipContext& job, int lTrack, int lngBitrate,
                            const StagedFile& file);

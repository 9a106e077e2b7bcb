#pragma once

// Copies one disc track into a file the program writes itself, block by block, at the drive's
// speed; the window's pause and stop are seen before every block.

#include "common/disctoc.h"
#include "rip/ripcontext.h"
#include "rip/trackoutcome.h"
#include "rip/tracksink.h"

#include <functional>

// Gets the sink ready for the track's decode stream; a failure ends the extraction.
using OpenSink = std::function<std::optional<RipFailure>(DWORD stream)>;

// Ripped when the whole track reached the sink and it finished well, stopped short when the
// user's Stop ended it (the sink finished with what it got); any failure, also one that comes
// while a Stop is pending, is told to the user and is the outcome.
TrackOutcome ExtractTrack(const RipContext& job, const DiscTrack& track, TrackSink& sink,
                          const OpenSink& open);

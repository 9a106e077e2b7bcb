#pragma once

// Copies one disc track into a file the program writes itself, block by block, at the drive's
// speed; a stop request is seen after every block.

#include "rip/ripcontext.h"
#include "rip/tracksink.h"

#include <functional>

// Gets the sink ready for the track's decode stream; a failure ends the extraction.
using OpenSink = std::function<std::optional<RipFailure>(DWORD stream)>;

// True when the whole track reached the sink and it finished well; a failure is told to the
// user, and a stop leaves the sink finished with what it got.
bool ExtractTrack(const RipContext& job, int lTrack, TrackSink& sink, const OpenSink& open);

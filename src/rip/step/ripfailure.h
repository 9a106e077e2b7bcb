#pragma once

// What made an extraction fail, as the routine error box shows it: the system's error
// number (errno) for file failures, 1000 plus the audio library's error code for a failed
// read.

#include "rip/step/ripcontext.h"
#include "rip/step/trackoutcome.h"

#include <QString>

class BassCore;
struct DiscTrack;

struct RipFailure {
    int number = 0;
    QString description;
};

// action: what was done to the file when it failed ("creating", "writing").
RipFailure FileFailure(int error, const QString& action, const QString& fileName);
// A read of the track that failed after delivered bytes of its last block.
RipFailure ReadFailure(BassCore& core, const DiscTrack& track, int delivered);
RipFailure TooLong(const QString& fileName);

// The failure told in the routine error box, as the track's outcome of kind.
TrackOutcome ToldFailure(const RipContext& job, TrackOutcome::Kind kind, const RipFailure& failure);

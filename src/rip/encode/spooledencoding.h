#pragma once

#include "common/disctoc.h"
#include "rip/files/ripoutput.h"
#include "rip/step/ripcontext.h"
#include "rip/step/trackoutcome.h"

#include <optional>

class StagedFile;

// Encodes the spooled WAV of the track into file in the output's format: FLAC and
// WMA in the program, MP3 and OGG through their external encoder. Any failure is told to the
// user; a stop ends the file early but valid.
WrittenTrack EncodeSpooledTrack(const RipContext& job, const DiscTrack& track,
                                const RipOutput& output, const QString& spooled,
                                const StagedFile& file);

// Why the spooled audio of the track cannot be encoded (the user told): it cannot be opened,
// or it does not hold exactly the track's trackBytes; empty when it can.
std::optional<TrackOutcome> SpoolProblem(const RipContext& job, const DiscTrack& track,
                                         const QString& spooled, qint64 trackBytes);

#pragma once

#include "rip/ripcontext.h"
#include "rip/ripoutput.h"

class StagedFile;

// Encodes the spooled WAV of track lTrack (0-based) into file in the output's format: FLAC and
// WMA in the program, MP3 and OGG through their external encoder. True when the whole track
// was encoded; any failure is told to the user. A stop ends the file early but valid.
bool EncodeSpooledTrack(const RipContext& job, int lTrack, const RipOutput& output,
                        const QString& spooled, const StagedFile& file);

#pragma once

#include "rip/step/ripcontext.h"
#include "rip/step/trackoutcome.h"

class StagedFile;

// The spooled track as a WAV file, when WAV is made beside another format from one reading: the
// spool already is the WAV file the reader would have written, so it is copied whole.
WrittenTrack CopySpooledWav(const RipContext& job, const QString& spooled, const StagedFile& file);

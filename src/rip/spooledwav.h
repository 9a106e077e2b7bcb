#pragma once

#include "rip/ripcontext.h"
#include "rip/spooledencoding.h"

// The spooled track as a WAV file, when WAV is made beside another format from one reading: the
// spool already is the WAV file the reader would have written, so it is copied whole.
EncodedTrack CopySpooledWav(const RipContext& job, const QString& spooled, const StagedFile& file);

#pragma once

#include "rip/ripcontext.h"

// The external MP3/OGG encoders are not in this version: this says so once per job and
// reports the track as not ripped.
bool Converter(const RipContext& job, const QString& sTrack, const QString& sFormat,
               const QString& sBitrate, const QString& sFile, bool bDeleteWav);

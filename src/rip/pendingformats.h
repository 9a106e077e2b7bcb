#pragma once

#include "rip/ripcontext.h"

// The WMA encoder and the external MP3/OGG encoders are not in this version: these say so
// once per job and report the track as not ripped.
bool ExtractAudioTrackToWMA(const RipContext& job, int lTrack, int lngBitrate);
bool Converter(const RipContext& job, const QString& sTrack, const QString& sFormat,
               const QString& sBitrate, const QString& sFile, bool bDeleteWav);

#pragma once

#include "common/disctoc.h"
#include "platform/audio/core/pcmsource.h"

#include <optional>
#include <stop_token>

// The hidden track (BASS_CD_TRACK_HIDDEN) lies from the disc's start to the first track's
// INDEX 01: its sector count, when the first track is an audio track that starts after sector 0.
std::optional<qint32> HiddenTrackSectors(const DiscToc& toc);

// Whether the source holds anything but digital silence. Reads only up to the first sample that
// is not zero, so audio answers at once and only silence is read whole. False at a read error or
// once stop is requested.
bool HoldsSound(PcmSource& source, std::stop_token stop);

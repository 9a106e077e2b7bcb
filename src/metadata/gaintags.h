#pragma once

// ReplayGain tags in a finished file, under the names players read: REPLAYGAIN_TRACK_GAIN
// ("-6.52 dB"), REPLAYGAIN_TRACK_PEAK ("0.988547"), REPLAYGAIN_ALBUM_GAIN and
// REPLAYGAIN_ALBUM_PEAK, as Vorbis comments (OGG, FLAC), ID3v2.4 TXXX frames (MP3) and ASF
// attributes (WMA). The track's values are written once it is measured, the album's once the
// last track of the rip is; a value left out stays as the file has it.

#include "metadata/replaygain.h"

#include <QString>

#include <optional>

struct GainTags {
    std::optional<double> trackGain; // dB
    std::optional<double> trackPeak; // linear
    std::optional<double> albumGain;
    std::optional<double> albumPeak;
};

// A track of digital silence has no loudness to level: no tags.
GainTags TrackGainTags(const Loudness& track);
GainTags AlbumGainTags(const Loudness& album);

// The reason when the file could not be tagged; nothing when it was (or nothing was to write).
std::optional<QString> WriteGainTags(const QString& path, const GainTags& gains);

#pragma once

// The audio a ripped WAV or FLAC file holds, handed on block by block as the disc has it: 16-bit
// stereo samples at 44.1 kHz, little-endian, as a WAV file's data holds them. A FLAC file's MD5
// signature is checked at its end, so a damaged file is told, not passed on.

#include "rip/encode/wavfilewriter.h"

#include <QString>

#include <functional>
#include <optional>

// The format of a CD's audio in a WAV file.
inline constexpr WavFormat kCdWavFormat{2, 44100, 16, 4, 176400};

// Hands the file's audio to take, which returns false to stop. The reason when the file could not
// be read whole, or does not hold CD audio; none when it was handed on to its end.
std::optional<QString> PumpFileAudio(const QString& path,
                                     const std::function<bool(const char*, qsizetype)>& take);

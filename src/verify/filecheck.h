#pragma once

// The check a ripped file passes before it takes its name: the library opens it as audio of the
// expected codec, and it lasts as long as the audio it was made from; a FLAC's stream header
// counts exactly those samples. An encoder that exits well but wrote noise, or a file cut
// short, is caught here rather than replacing a good file.

#include "common/audiolibrary.h"

#include <QString>

#include <optional>

struct FileProblem {
    QString text;           // what is wrong, in words
    bool unchecked = false; // nothing was found wrong with the file: no file can be read here
};

// codec: FFmpeg's name for it ("mp3", "vorbis", "flac", "wmav2", "pcm_s16le"). samples: per
// channel at 44.1 kHz. What is wrong with the file; nothing when it is as expected.
std::optional<FileProblem> AudioFileProblem(BassCore& library, const QString& path,
                                            const char* codec, qint64 samples);

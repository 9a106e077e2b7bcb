#pragma once

// A FLAC file decoded back with libFLAC: its 16-bit stereo PCM as a WAV file holds it, and
// whether the stream header's MD5 signature is there and matches what was decoded.

#include <QByteArray>
#include <QString>

struct FlacDecoded {
    bool ok = false; // decoded to its end, and the signature is there and matches
    QByteArray pcm;
};

FlacDecoded DecodeFlac(const QString& path);

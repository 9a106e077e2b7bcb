#pragma once

// Small files of every tagged format, made by the real encoders (lame, oggenc, flac, and
// FFmpeg's WMA encoder) from a fifth of a second of silence, for tests that tag them.

#include <QString>

// The file folder/track.<extension> ("mp3", "ogg", "flac", "wma"), with the encoder's own
// comment when one is given; empty when the encoder is missing or failed.
QString EncodedSilence(const QString& folder, const QString& extension,
                       const QString& comment = {});

#pragma once

// Which extraction path, format code, bit rate and file a track is ripped with, from the
// output choices.

#include "settings/outputformats.h"

#include <QString>

#include <optional>

struct RipOutput {
    RipPath path = RipPath::None;
    QString code;                  // encoder format code: "MP3C", "MP3V", "OGGC" or "OGGV"
    QString bitrate;               // encoder bit rate as decimal text, e.g. "128"
    std::optional<int> wmaBitrate; // bits per second for the WMA path
    QString file;                  // the track's file in the output folder, e.g. ".../TRACK4.WAV"
    int flacLevel = 5;             // compression level for the FLAC path
};

// number: the track's 1-based number on the disc. name: the file's name in the output folder
// without its extension ("TRACK4", "Album/04 Title"); TRACKn when empty.
RipOutput ChooseRipOutput(const OutputChoice& choice, int number, const QString& name = {});

// The leading number of a bit-rate text in shortest decimal form: "128 Kbps" gives "128",
// an empty text "0".
QString BitrateText(const QString& listText);

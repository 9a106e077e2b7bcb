#pragma once

// Every output format, described once: its option on the Output format panel (whose position
// is also the stored "File Format"), its files' extension, how a track becomes such a file, and
// for the external encoders the codes and bit-rate texts of the choice they read.

#include "settings/outputchoice.h"

#include <span>

// How a track becomes a file: written by the program (WAV), encoded in the program (WMA,
// FLAC), or by an external encoder fed on its standard input.
enum class RipPath { None, Wav, Wma, Encoder, Flac };

struct OutputFormat {
    const char* caption;   // its option's caption, with its access key
    const char* name;      // what {format} in a file-name pattern makes of it: "MP3", "FLAC"
    const char* extension; // of its files, as written: "TRACK4.WAV", "TRACK4.mp3"
    RipPath path;
    bool lossless;
    // External encoders: the codes at a constant and at a variable (or average) rate, and where
    // the choice keeps which one and the texts of both rate lists. Mivo Default has one fixed
    // code and rate instead.
    const char* cbrCode = nullptr;
    const char* vbrCode = nullptr;
    bool OutputChoice::*cbr = nullptr;
    QString OutputChoice::*cbrText = nullptr;
    QString OutputChoice::*vbrText = nullptr;
    const char* fixedBitrate = nullptr;
};

// In the order of the options; the position is the format's number.
std::span<const OutputFormat> OutputFormats();
// The format of that number; null for none.
const OutputFormat* FindOutputFormat(int number);

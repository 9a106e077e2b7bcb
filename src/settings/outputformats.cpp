#include "settings/outputformats.h"

namespace {
const OutputFormat kFormats[] = {
    // The fixed choice behind "Mivo Default": MP3 at a constant 128 kbps.
    {"Mivo Default", "Mivo Default", "mp3", RipPath::Encoder, false, "MP3C", "MP3C", nullptr,
     nullptr, nullptr, "128"},
    {"&WAV (CD-Quality)", "WAV", "WAV", RipPath::Wav, true},
    {"W&MA", "WMA", "WMA", RipPath::Wma, false},
    {"MP3", "MP3", "mp3", RipPath::Encoder, false, "MP3C", "MP3V", &OutputChoice::mp3Cbr,
     &OutputChoice::mp3CbrText, &OutputChoice::mp3VbrText},
    {"OGG", "OGG", "ogg", RipPath::Encoder, false, "OGGC", "OGGV", &OutputChoice::oggCbr,
     &OutputChoice::oggCbrText, &OutputChoice::oggVbrText},
    {"&FLAC", "FLAC", "flac", RipPath::Flac, true},
};
} // namespace

std::span<const OutputFormat> OutputFormats() {
    return kFormats;
}

const OutputFormat* FindOutputFormat(int number) {
    return number >= 0 && number < int(std::size(kFormats)) ? &kFormats[number] : nullptr;
}

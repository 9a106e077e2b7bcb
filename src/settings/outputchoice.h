#pragma once

// What a rip is to make, as the output options hold it when the rip starts.

#include <QString>

#include <array>
#include <optional>

// The words the WMA tag boxes hold until the user types over them, in the order of the boxes.
inline constexpr std::array<const char*, 8> kWMATagLabels = {
    "Title", "Artist", "Album Title", "Description", "Rating", "Copyright", "Genre", "Year"};

struct OutputChoice {
    // The chosen format's number in OutputFormats() (0 Mivo Default, 1 WAV, 2 WMA, 3 MP3, 4 OGG,
    // 5 FLAC); -1 when none is chosen.
    int format = -1;
    bool mp3Cbr = true;
    QString mp3CbrText; // texts of the bit-rate lists, e.g. "128 Kbps"
    QString mp3VbrText;
    bool oggCbr = true;
    QString oggCbrText;
    QString oggVbrText;
    std::optional<int> wmaBitrate; // bits per second; none without a selected rate
    bool wmaTags = true;
    std::array<QString, 8> wmaTagTexts; // title, artist, album, description, rating,
                                        // copyright, genre, year
    int flacLevel = 5;                  // FLAC compression, 0 (fastest) to 8 (smallest)
    QString folder;                     // the output folder, "~" and relative ones in the home
    int encoders = 1;                   // encoders that run at once, 1 to 16
    bool checkAccurateRip = false;      // each track compared with the AccurateRip database
    bool readTwice = false;             // each track read until two reads agree
    // Tracks mastered with pre-emphasis are de-emphasised before a lossy encoder; WAV and FLAC
    // files keep the disc's samples.
    bool removePreEmphasis = false;
    QString fileNames = QStringLiteral("TRACK{n}"); // the pattern of the files' names

    // Files ready for a music library.
    bool replayGain = true; // ReplayGain tags in each file
    bool coverArt = true;   // the disc's cover in each file and beside them
    // A second format made from the same reading, with its options as the Output format panel
    // holds them for it: its number in OutputFormats(), -1 for none; and the whole pattern of
    // its files' names ("{format}/TRACK{n}" unless the user typed another).
    int alsoFormat = -1;
    QString alsoFileNames;
    // WAV or FLAC: the disc's audio in one file, the cue sheet pointing into it.
    bool wholeDiscImage = false;
};

// What the second format is made with: the same options, its own format and file names; nothing
// when there is no second format.
inline std::optional<OutputChoice> AlsoMadeChoice(const OutputChoice& choice) {
    if (choice.alsoFormat < 0)
        return std::nullopt;
    OutputChoice also = choice;
    also.format = choice.alsoFormat;
    also.fileNames = choice.alsoFileNames;
    also.alsoFormat = -1;
    also.alsoFileNames.clear();
    return also;
}

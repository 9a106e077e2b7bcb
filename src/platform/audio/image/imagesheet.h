#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// What the CD extension reads from a CUE or cdrdao TOC sheet itself, beside
// what libcdio makes of it: the files the sheet names (resolved against the
// sheet's folder) and, per track, its kind, the bytes one sector takes in the
// file and, in a TOC, where the track starts in its file; and the disc's codes
// and flags. A code that is not well-formed (an ISRC, a CATALOG number, an
// INDEX 00 after the INDEX 01) is left out with a note, and the staged copy
// loses its line, so libcdio never sees it.
//
// libcdio cannot be handed the sheet as it stands: its CUE reader ignores the
// FILE name and opens "<sheet name>.bin", and its TOC reader opens the files
// relative to the current folder. The scan therefore also produces a staged
// copy of the sheet whose file names are replaced by names the loader chooses.

struct SheetTrack {
    bool audio = false;
    int blockSize = 2352; // bytes per sector in the file
    int fileIndex = -1;   // into ScannedSheet::files; -1: none named
    // Start of the track in its file (TOC); nothing: where libcdio's sector
    // positions put it (CUE), or right after the previous track (TOC DATAFILE).
    std::optional<std::uint64_t> fileOffset;
    // The length a TOC FILE line gives; libcdio takes the start in the file for the
    // position on the disc, so its own count is wrong when tracks come from several files.
    std::optional<int> sectorCount;
    // CUE: the frame of INDEX 01 in the file, for the user's messages and the order check.
    std::optional<std::uint64_t> startFrame;
    // CUE: the frame of INDEX 00 (the start of the track's pregap) in the file, when given.
    std::optional<std::uint64_t> gapFrame;
    // CUE: the files (into ScannedSheet::files) that hold INDEX 00 and INDEX 01; a sheet of one
    // file per track puts a pregap at the end of the file before ("gaps appended").
    int gapFileIndex = -1;
    int startFileIndex = -1;
    // Silence the sheet declares around the track's data but the image does not store, in
    // sectors: CUE PREGAP and POSTGAP, TOC SILENCE, ZERO and PREGAP before or after its file.
    int silenceBefore = 0;
    int silenceAfter = 0;
    // TOC: sectors from the track's start to its INDEX 01 (START, PREGAP); the start itself
    // when the sheet says nothing.
    int indexOneOffset = 0;
    // The sheet's codes and flags for the track.
    std::string isrc;
    bool preEmphasis = false;
    bool copyPermitted = false;
    bool fourChannels = false;
};

struct ScannedSheet {
    std::vector<std::string> files;
    std::vector<std::string> fileTypes; // CUE: as the FILE lines give them ("BINARY", "WAVE")
    std::vector<SheetTrack> tracks;
    std::string stagedText;
    std::string catalog;            // 13 digits; empty when the sheet gives none
    std::vector<std::string> notes; // what was left out, and why
    std::string error; // set when the sheet cannot be used; everything else is then empty
};

enum class SheetKind { Cue, Toc };

// A sheet is text: longer lines or more lines than this are not a sheet.
inline constexpr std::size_t kSheetLineLimit = 1024;
inline constexpr int kMaxTracks = 99;

// sheetFolder resolves relative file names; stagedName(i) is the name written
// into the staged copy in place of files[i]. Every number is range-checked here
// and everything libcdio would stumble over is refused with a reason or left out,
// so libcdio only ever sees sheets it can take. A CUE sheet may name several
// files of any type; the image loader takes one BINARY or WAVE file.
ScannedSheet ScanSheet(SheetKind kind, const std::string& text, const std::string& sheetFolder,
                       const std::function<std::string(int)>& stagedName);

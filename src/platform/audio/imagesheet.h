#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// What the CD extension reads from a CUE or cdrdao TOC sheet itself, beside
// what libcdio makes of it: the files the sheet names (resolved against the
// sheet's folder) and, per track, its kind, the bytes one sector takes in the
// file and, in a TOC, where the track starts in its file.
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
};

struct ScannedSheet {
    std::vector<std::string> files;
    std::vector<SheetTrack> tracks;
    std::string stagedText;
    std::string error; // set when the sheet cannot be used; everything else is then empty
};

enum class SheetKind { Cue, Toc };

// sheetFolder resolves relative file names; stagedName(i) is the name written
// into the staged copy in place of files[i].
ScannedSheet ScanSheet(SheetKind kind, const std::string& text, const std::string& sheetFolder,
                       const std::function<std::string(int)>& stagedName);

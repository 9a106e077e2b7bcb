#pragma once

#include "platform/audio/disc/disclayout.h"

#include <optional>
#include <string>

// A disc image read from its CUE or cdrdao TOC sheet: the layout when the
// image can be used, otherwise the reason it cannot, for the user to read.
struct LoadedImage {
    std::optional<DiscLayout> layout;
    std::string error;
};

// Parses the sheet with libcdio (on a staged copy whose file names libcdio
// resolves correctly) and checks that every audio track lies inside its file.
LoadedImage LoadDiscImage(const std::string& sheetPath);

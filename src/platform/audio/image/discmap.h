#pragma once

#include "platform/audio/disc/disclayout.h"

#include <cstdint>
#include <string>
#include <vector>

// One track of a sheet as it lies in its file, with the silence the sheet puts around it
// that the file does not store.
struct SheetRegion {
    bool audio = false;
    std::string file;
    std::uint64_t fileOffset = 0; // bytes: where its first stored sector lies
    int storedSectors = 0;
    int silenceBefore = 0;
    int silenceAfter = 0;
    int indexOneOffset = 0; // sectors from the region's start, silence included, to INDEX 01
};

// The disc the regions make, laid end to end from sector 0: the tracks as a drive reports
// them (each from its INDEX 01 to the next one's) and the stretches they are read from. Or the
// reason the regions make no disc, naming the track: one that is empty, one longer than a disc,
// one whose INDEX 01 lies past its end.
struct DiscMap {
    std::vector<ImageTrack> tracks;
    std::vector<ImageExtent> extents;
    std::string error;
};

DiscMap LayRegions(const std::vector<SheetRegion>& regions);

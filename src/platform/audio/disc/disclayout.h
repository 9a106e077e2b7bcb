#pragma once

#include "common/discsubcode.h"

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int kCdSectorBytes = 2352;

// A stretch of a disc image's sectors, in disc order: audio read from a file, or silence the
// sheet declares (a PREGAP or POSTGAP) but the image does not store. A data track's sectors
// are never read as audio: they are silence here too.
struct ImageExtent {
    std::int32_t firstSector = 0; // on the disc, 0 being LSN 0
    int sectorCount = 0;
    std::string file; // empty: silence
    std::uint64_t fileOffset = 0;

    std::uint64_t byteLength() const { return std::uint64_t(sectorCount) * kCdSectorBytes; }
};

// One track as a drive reports it: it starts at its INDEX 01 and runs up to the next track's
// INDEX 01 (the next track's pregap is the end of this one), the last one up to the lead-out.
struct ImageTrack {
    bool audio = false;
    std::int32_t startSector = 0;
    int sectorCount = 0;
    // Where its pregap (INDEX 00) begins: the start of the silence or stored audio the sheet puts
    // before its INDEX 01; startSector when it has none.
    std::int32_t pregapSector = 0;

    std::uint64_t byteLength() const { return std::uint64_t(sectorCount) * kCdSectorBytes; }
};

// What a disc image holds once its sheet has been read.
struct DiscLayout {
    std::vector<ImageTrack> tracks;
    std::vector<ImageExtent> extents; // from sector 0 to the lead-out, end to end
    std::string cdTextBlock;          // empty: no CD-TEXT
    DiscSubcode subcode;              // index points, codes and flags as the sheet gives them
};

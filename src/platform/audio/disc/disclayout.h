#pragma once

#include <cstdint>
#include <string>
#include <vector>

inline constexpr int kCdSectorBytes = 2352;

// Where one track of a disc image lies: its sectors on the disc and, for an
// audio track, the file and byte offset its PCM is read from.
struct ImageTrack {
    bool audio = false;
    int sectorCount = 0;
    std::string file;
    std::uint64_t fileOffset = 0;

    std::uint64_t byteLength() const { return std::uint64_t(sectorCount) * kCdSectorBytes; }
};

// What a disc image holds once its sheet has been read.
struct DiscLayout {
    std::vector<ImageTrack> tracks;
    std::string cdTextBlock; // empty: no CD-TEXT
};

#include "platform/audio/disc/hiddentrack.h"

#include <algorithm>
#include <array>

std::optional<qint32> HiddenTrackSectors(const DiscToc& toc) {
    if (toc.tracks.isEmpty() || !toc.tracks.front().audio || toc.tracks.front().lsn <= 0)
        return std::nullopt;
    return toc.tracks.front().lsn;
}

bool HoldsSound(PcmSource& source, std::stop_token stop) {
    std::array<char, 16 * 2352> block{};
    while (!stop.stop_requested()) {
        const int got = source.read(block.data(), int(block.size()));
        if (got <= 0)
            return false;
        if (std::any_of(block.begin(), block.begin() + got, [](char byte) { return byte != 0; }))
            return true;
    }
    return false;
}

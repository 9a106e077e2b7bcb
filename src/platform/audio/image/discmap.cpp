#include "platform/audio/image/discmap.h"

#include "platform/audio/image/sheetnumbers.h"

namespace {

// 99 minutes of sectors: no track of a real disc is longer.
constexpr std::int64_t kMaxDiscSectors = kMaxMinutes * 60 * kFramesPerSecond;

std::string TrackName(std::size_t t) {
    return "track " + std::to_string(t + 1);
}

void AddExtent(std::vector<ImageExtent>& extents, std::int32_t& sector, int count,
               const std::string& file = {}, std::uint64_t offset = 0) {
    if (count <= 0)
        return;
    extents.push_back({sector, count, file, offset});
    sector += count;
}

std::string CheckLength(std::int64_t sectors, std::size_t t) {
    if (sectors <= 0)
        return TrackName(t) + " is empty";
    if (sectors > kMaxDiscSectors)
        return TrackName(t) + " is longer than a disc can hold";
    return {};
}

} // namespace

DiscMap LayRegions(const std::vector<SheetRegion>& regions) {
    DiscMap map;
    std::int32_t sector = 0;
    for (std::size_t t = 0; t < regions.size(); ++t) {
        const SheetRegion& region = regions[t];
        const std::int64_t length =
            std::int64_t(region.silenceBefore) + region.storedSectors + region.silenceAfter;
        if (const std::string error = CheckLength(length, t); !error.empty())
            return {{}, {}, error};
        if (region.indexOneOffset < 0 || region.indexOneOffset >= length)
            return {{}, {}, TrackName(t) + " has its INDEX 01 at or past its own end"};
        map.tracks.push_back({region.audio, sector + region.indexOneOffset, 0, sector});
        AddExtent(map.extents, sector, region.silenceBefore);
        AddExtent(map.extents, sector, region.storedSectors, region.audio ? region.file : "",
                  region.fileOffset);
        AddExtent(map.extents, sector, region.silenceAfter);
    }
    for (std::size_t t = 0; t < map.tracks.size(); ++t) {
        const std::int32_t end = t + 1 < map.tracks.size() ? map.tracks[t + 1].startSector : sector;
        map.tracks[t].sectorCount = end - map.tracks[t].startSector;
        if (const std::string error = CheckLength(map.tracks[t].sectorCount, t); !error.empty())
            return {{}, {}, error};
    }
    return map;
}

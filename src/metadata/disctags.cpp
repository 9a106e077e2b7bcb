#include "metadata/disctags.h"

#include <algorithm>

bool KnowsAnything(const DiscTags& tags) {
    const ReleaseInfo& release = tags.release;
    return !release.title.isEmpty() || !release.artist.isEmpty() || !release.genre.isEmpty() ||
           release.year > 0 ||
           std::any_of(release.tracks.cbegin(), release.tracks.cend(), [](const TrackInfo& t) {
               return !t.title.isEmpty() || !t.artist.isEmpty();
           });
}

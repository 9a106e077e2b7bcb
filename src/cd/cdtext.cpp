#include "cd/cdtext.h"

#include "common/modbass.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace {

const CdTextFailure kNoEquals{5, QStringLiteral("Invalid procedure call or argument")};
const CdTextFailure kNotANumber{13, QStringLiteral("Type mismatch")};
const CdTextFailure kNoSuchTrack{9, QStringLiteral("Subscript out of range")};

// The text an entry's key names for the disc (0) or one of its tracks.
QString& Field(DiscTitles& titles, int number, bool isTitle) {
    if (number == 0)
        return isTitle ? titles.title : titles.performer;
    TrackTitles& track = titles.tracks[number - 1];
    return isTitle ? track.title : track.performer;
}

// Reads one "KEYn=value" entry. Entries other than TITLE and PERFORMER are skipped;
// a number that is not one, or not 0 (the disc) to trackCount, fails the block.
std::optional<CdTextFailure> ReadEntry(const QString& entry, int trackCount, DiscTitles& titles) {
    const bool isTitle = entry.startsWith(QLatin1String("TITLE"), Qt::CaseInsensitive);
    if (!isTitle && !entry.startsWith(QLatin1String("PERFORMER"), Qt::CaseInsensitive))
        return std::nullopt;
    const qsizetype keyLength = isTitle ? 5 : 9;
    const qsizetype equals = entry.indexOf('=');
    if (equals < 0)
        return kNoEquals;
    bool converted = false;
    const double number = entry.mid(keyLength, equals - keyLength).toDouble(&converted);
    if (!converted || !std::isfinite(number))
        return kNotANumber;
    const double track = std::nearbyint(number);
    if (track < 0 || track > trackCount)
        return kNoSuchTrack;
    Field(titles, static_cast<int>(track), isTitle) = entry.mid(equals + 1); // the last one wins
    return std::nullopt;
}

// Walks the entries laid end to end up to the empty one. The library ends the
// block with an empty entry, so the walk never runs past it.
std::optional<CdTextFailure> ReadBlock(const char* block, int trackCount, DiscTitles& titles) {
    for (const char* p = block; p != nullptr && *p != '\0'; p += std::strlen(p) + 1) {
        if (auto failure = ReadEntry(Ptr2Str(p), trackCount, titles))
            return failure;
    }
    return std::nullopt;
}

} // namespace

std::variant<DiscTitles, CdTextFailure> ParseCdText(const char* block, int trackCount) {
    DiscTitles titles;
    titles.tracks.resize(std::max(trackCount, 0));
    if (auto failure = ReadBlock(block, trackCount, titles))
        return *failure;
    return titles;
}

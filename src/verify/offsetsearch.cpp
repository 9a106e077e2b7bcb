#include "verify/offsetsearch.h"

#include "common/disctoc.h"

#include <QHash>
#include <QtEndian>

#include <algorithm>

namespace {

struct Support {
    int tracks = 0;
    int confidence = 0;

    auto rank() const { return std::pair(tracks, confidence); }
};

// The database's frame-450 checksums of one track, each with its summed confidence.
QHash<quint32, int> DatabaseChecksums(const QList<DbarResponse>& responses,
                                      const AccurateRipIds& disc, int entry) {
    QHash<quint32, int> checksums;
    for (const DbarResponse::Track& track : DbarEntries(responses, disc, entry)) {
        if (track.frame450 != 0)
            checksums[track.frame450] += track.confidence;
    }
    return checksums;
}

// Adds the window's matches to each offset's support; true when it matched at all.
bool AddMatches(const OffsetWindow& window, const QHash<quint32, int>& checksums,
                QHash<int, Support>& support) {
    if (window.pcm.size() < kOffsetWindowSamples * 4 || checksums.isEmpty())
        return false;
    bool matched = false;
    for (int offset = -kOffsetSearchRange; offset <= kOffsetSearchRange; ++offset) {
        const auto found =
            checksums.constFind(Frame450Checksum(window.pcm, kOffsetSearchRange + offset));
        if (found == checksums.constEnd())
            continue;
        Support& s = support[offset];
        ++s.tracks;
        s.confidence += found.value();
        matched = true;
    }
    return matched;
}

} // namespace

quint32 Frame450Checksum(const QByteArray& pcm, qint64 first) {
    const auto* bytes = reinterpret_cast<const uchar*>(pcm.constData()) + first * 4;
    quint32 sum = 0;
    for (quint32 k = 1; k <= quint32(kSamplesPerSector); ++k, bytes += 4)
        sum += k * qFromLittleEndian<quint32>(bytes);
    return sum;
}

OffsetSearch SearchOffset(const QList<DbarResponse>& responses, const AccurateRipIds& disc,
                          const QList<OffsetWindow>& windows) {
    QHash<int, Support> support;
    int matchedTracks = 0;
    for (const OffsetWindow& window : windows)
        matchedTracks +=
            AddMatches(window, DatabaseChecksums(responses, disc, window.entry), support);

    Support best;
    int bestOffset = 0;
    bool tie = false;
    for (auto it = support.cbegin(); it != support.cend(); ++it) {
        if (it->rank() > best.rank()) {
            best = *it;
            bestOffset = it.key();
            tie = false;
        } else if (it->rank() == best.rank()) {
            tie = true;
        }
    }
    if (best.tracks >= 2 && !tie)
        return {OffsetSearch::Outcome::Found, bestOffset, best.tracks};
    using enum OffsetSearch::Outcome;
    return {matchedTracks > 1    ? Disagree
            : matchedTracks == 1 ? OneTrack
                                 : NoMatch,
            0, matchedTracks};
}

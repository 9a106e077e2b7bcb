// Finding the read offset: tracks read through a drive with a known offset, against the
// frame-450 checksums the database holds for them, give that offset back when two tracks agree.

#include "verify/offsetsearch.h"
#include "verify/trackchecksums.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr qint64 kTrackSamples = kOffsetWindowFirst + kOffsetWindowSamples + 2 * 2940;
const AccurateRipIds kDisc{3, 0x11, 0x22, 0x33};

QByteArray Noise(quint32 seed) {
    QByteArray bytes(kTrackSamples * 4, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32*>(bytes.data()), kTrackSamples);
    return bytes;
}

// A drive with read offset R gives the track's sample x at position x + R.
OffsetWindow ReadAround450(int entry, const QByteArray& track, int offset) {
    return {entry, track.mid((kOffsetWindowFirst - offset) * 4, kOffsetWindowSamples * 4)};
}

quint32 DatabaseFrame450(const QByteArray& track) {
    TrackChecksums sums(kTrackSamples, false, false);
    sums.add(track);
    return sums.sums().frame450;
}

} // namespace

TEST(OffsetSearch, TheOffsetTwoTracksAgreeOnIsFound) {
    using enum OffsetSearch::Outcome;
    struct Case {
        std::vector<int> readWith; // each track's offset as the drive read it
        std::vector<int> spoiled;  // tracks the database holds another checksum for
        quint32 id1;
        OffsetSearch expected;
    };
    const Case cases[] = {
        {{-1164, -1164, -1164}, {}, 0x11, {Found, -1164, 3}},
        {{-6, -6, -6}, {0}, 0x11, {Found, -6, 2}},
        {{0, 0, 0}, {}, 0x11, {Found, 0, 3}},
        {{6, 6, 6}, {}, 0x11, {Found, 6, 3}},
        {{667, 667, 667}, {1}, 0x11, {Found, 667, 2}},
        {{2940, 2940, -2940}, {2}, 0x11, {Found, 2940, 2}},
        {{1776, 1776, 1776}, {0, 1}, 0x11, {OneTrack, 0, 1}},
        {{6, 667, -1164}, {}, 0x11, {Disagree, 0, 3}},
        {{2941, 2941, 2941}, {}, 0x11, {NoMatch, 0, 0}},
        {{6, 6, 6}, {}, 0x99, {NoMatch, 0, 0}}, // the responses are another disc's
    };
    QList<QByteArray> tracks{Noise(1), Noise(2), Noise(3)};
    for (const Case& c : cases) {
        DbarResponse response{c.id1, kDisc.id2, kDisc.id3, {}};
        QList<OffsetWindow> windows;
        for (int t = 0; t < 3; ++t) {
            const bool spoiled = std::ranges::count(c.spoiled, t) > 0;
            response.tracks.append({5, 0, DatabaseFrame450(tracks[t]) + spoiled});
            windows.append(ReadAround450(t, tracks[t], c.readWith[t]));
        }
        const OffsetSearch found = SearchOffset({response}, kDisc, windows);
        EXPECT_EQ(found.outcome, c.expected.outcome) << c.readWith[0];
        EXPECT_EQ(found.offset, c.expected.offset) << c.readWith[0];
        EXPECT_EQ(found.tracks, c.expected.tracks) << c.readWith[0];
    }
}

// Two pressings of a disc: the one with more confidence wins when as many tracks agree on both.
TEST(OffsetSearch, TheBetterConfirmedPressingWins) {
    const QList<QByteArray> tracks{Noise(4), Noise(5)};
    DbarResponse pressing{kDisc.id1, kDisc.id2, kDisc.id3, {}};
    DbarResponse other = pressing;
    QList<OffsetWindow> windows;
    for (int t = 0; t < 2; ++t) {
        pressing.tracks.append({9, 0, DatabaseFrame450(tracks[t])});
        other.tracks.append({2, 0, DatabaseFrame450(tracks[t].sliced(30 * 4))});
        windows.append(ReadAround450(t, tracks[t], 102));
    }
    const OffsetSearch found = SearchOffset({other, pressing}, kDisc, windows);
    EXPECT_EQ(found.outcome, OffsetSearch::Outcome::Found);
    EXPECT_EQ(found.offset, 102);
    other.tracks = {{9, 0, other.tracks[0].frame450}, {9, 0, other.tracks[1].frame450}};
    EXPECT_EQ(SearchOffset({other, pressing}, kDisc, windows).outcome,
              OffsetSearch::Outcome::Disagree);
}

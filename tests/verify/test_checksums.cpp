// The track checksums: a hand-checkable case, the same sums whatever the block size, the
// samples left out at the disc's edges, frame 450, and reads corrected for the drive's offset.

#include "common/readoffset.h"
#include "verify/trackchecksums.h"

#include <QRandomGenerator>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

QByteArray Noise(qint64 samples, quint32 seed) {
    QByteArray bytes(samples * 4, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32*>(bytes.data()), samples);
    return bytes;
}

TrackSums Sums(const QByteArray& pcm, bool first = false, bool last = false, qsizetype block = 0) {
    TrackChecksums checksums(pcm.size() / 4, first, last);
    const qsizetype step = block ? block : pcm.size();
    for (qsizetype at = 0; at < pcm.size(); at += step)
        checksums.add(QByteArrayView(pcm).sliced(at, std::min(step, pcm.size() - at)));
    return checksums.sums();
}

} // namespace

// Frame 450 is the sector 450 from 0, its samples weighed 1 to 588; a shorter track has none.
TEST(TrackChecksums, HandCheckedSumsWhateverTheBlockSize) {
    const QByteArray pcm = QByteArray::fromHex("ffffffffffffffff0000008001000000");
    EXPECT_EQ(Sums(pcm), (TrackSums{0x728f1198, 0x80000001, 0x80000003, 0}));
    QByteArray silence(265188 * 4, '\0');
    for (auto [sample, value] : {std::pair{264599, 1000}, {264600, 1}, {265187, 2}})
        qToLittleEndian<quint32>(value, silence.data() + 4 * sample);
    EXPECT_EQ(Sums(silence, true, true).frame450, 1u + 588u * 2u);
    EXPECT_EQ(Sums(silence.chopped(4)).frame450, 0u);
    const QByteArray track = Noise(266000, 7);
    for (qsizetype block : {1, 3, 587, 4096})
        EXPECT_EQ(Sums(track, false, false, block), Sums(track)) << block;
}

// Left out: the first 2939 samples of the disc's first track and the last 2940 of its last.
TEST(TrackChecksums, LeaveOutTheDiscsEdges) {
    QByteArray pcm(10000 * 4, '\0');
    pcm[4 * 2938] = pcm[4 * 7060] = 1;
    EXPECT_EQ(Sums(pcm, true, true).v1, 0u);
    pcm[4 * 2939] = pcm[4 * 7059] = 1; // at positions 2940 and 7060, counted from 1
    EXPECT_EQ(Sums(pcm, true, true).v2, 2940u + 7060u);
}

// A drive that gives the disc's sample x at position x + R, read where the plan says, gives the
// disc's own AccurateRip sums on every track.
TEST(ReadOffset, CorrectedReadsGiveTheDiscsSums) {
    constexpr qint64 kTrack = 12 * 588, kDisc = 3 * kTrack;
    const QByteArray disc = Noise(kDisc, 11);
    for (int offset : {-1164, -6, 0, 6, 667, 1776}) {
        const QByteArray drive =
            offset > 0 ? QByteArray(4 * offset, '\0') + disc.left(4 * (kDisc - offset))
                       : disc.mid(-4 * offset) + QByteArray(-4 * offset, '\0');
        for (int t = 0; t < 3; ++t) {
            const OffsetRead read = PlanOffsetRead(t * kTrack, kTrack, kDisc, offset);
            const QByteArray got = QByteArray(4 * read.silenceBefore, '\0') +
                                   drive.mid(4 * read.firstSample, 4 * read.samples) +
                                   QByteArray(4 * read.silenceAfter, '\0');
            const TrackSums want = Sums(disc.mid(4 * t * kTrack, 4 * kTrack), t == 0, t == 2);
            const TrackSums have = Sums(got, t == 0, t == 2);
            const bool silenced = (t == 0 && offset < 0) || (t == 2 && offset > 0);
            EXPECT_TRUE(have.v1 == want.v1 && have.v2 == want.v2) << offset << " track " << t;
            EXPECT_EQ(have.crc32 == want.crc32, !silenced) << offset << " track " << t;
        }
    }
}

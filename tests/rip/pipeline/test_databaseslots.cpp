// The AccurateRip database keeps a track's checksums at its place on the disc: on a mixed-mode
// disc the data track keeps the first entry and the last audio track has none. Placeholders
// (checksum 0, confidence 0) never match and never make a mismatch.
#include "rip/ripfixture.h"

#include "support/dbarbuilder.h"
#include "support/loopbackhttp.h"
#include "verify/discids.h"
#include "verify/trackchecksums.h"

#include <QDir>
#include <QRegularExpression>

namespace {

// "Mortal Kombat Trilogy" as ARver's documentation of data tracks gives it: data track 1, then
// 28 audio tracks; the lead-out last.
const QList<qint32> kStarts{0,      66578,  76352,  85813,  93610,  103898, 115916, 124593,
                            134056, 142766, 151702, 160570, 169275, 178581, 188309, 196561,
                            206204, 214695, 223536, 225596, 226234, 232518, 239297, 239781,
                            244839, 254114, 259916, 261072, 261524, 261826};

// The AccurateRip v2 checksum of a track as the fake drive reads it.
quint32 ChecksumOf(int track, int sectors, bool lastAudio) {
    QByteArray pcm(sectors * 2352, Qt::Uninitialized);
    for (qsizetype k = 0; k < pcm.size(); ++k)
        pcm[k] = FakeAudio::DecodedByte(DWORD(track), QWORD(k));
    TrackChecksums sums(qint64(sectors) * 588, track == 1, lastAudio);
    sums.add(pcm);
    return sums.sums().v2;
}

} // namespace

TEST(DatabaseSlots, AMixedModeDiscIsJudgedByEachTracksPlaceOnTheDisc) {
    FakeWindow w;
    w.audio.addDrive();
    auto& tracks = w.audio.drives[0].tracks;
    for (qsizetype t = 0; t + 1 < kStarts.size(); ++t)
        tracks.push_back({(kStarts[t + 1] - kStarts[t]) * 2352, t > 0});
    w.audio.drives[0].cdText = {{"TITLE0=Mortal Kombat Trilogy"}};
    DiscToc toc;
    w.audio.BASS_CD_GetTOC(0, &toc);
    const AccurateRipIds ids = AccurateRipDiscIds(toc);
    ASSERT_EQ(AccurateRipDisplayId(ids), "028-00517a54-05a845d2-af0da31d");

    // 28 entries: the data track's placeholder, then disc tracks 2 to 28, of which 23 and 28
    // are placeholders (too short) and 22 holds another rip's checksum.
    DbarResponse response{ids.id1, ids.id2, ids.id3, {{0, 0, 0}}};
    for (int track = 1; track < 28; ++track) {
        const int sectors = kStarts[track + 1] - kStarts[track];
        const bool placeholder = track == 22 || track == 27;
        response.tracks.append({quint8(placeholder ? 0 : 1),
                                placeholder ? 0 : ChecksumOf(track, sectors, false) + (track == 21),
                                0});
    }
    LoopbackHttp database([&](const QByteArray&) {
        return std::optional(LoopbackHttp::Response(200, DbarBytes({response})));
    });
    const ScopedEnv url("MIVO_ACCURATERIP_URL", database.url());

    ASSERT_TRUE(w.load());
    QTemporaryDir temp;
    w.find<QLineEdit>("txtExtractPath").setText(temp.path());
    w.find<QRadioButton>("optExtractMode1").setChecked(true);
    ASSERT_EQ(w.list().topLevelItemCount(), 28) << "the data track has no row";
    w.tick({1, 2, 21, 22, 27, 28}); // disc tracks 2, 3, 22, 23, 28 and 29
    w.command("IDC_FS_ExtractBtn");

    const QStringList logs = QDir(temp.path()).entryList({"Mivo rip *.log"});
    ASSERT_EQ(logs.size(), 1);
    QFile log(temp.filePath(logs[0]));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QStringList rows = QString::fromUtf8(log.readAll())
                                 .section("\nSummary\n", 1)
                                 .split('\n')
                                 .filter(QRegularExpression("^\\d+  "));
    const QStringList expected{
        "2 accurate (confidence 1)", "3 accurate (confidence 1)", "22 mismatch",
        "23 not in database",        "28 not in database",        "29 not in database"};
    ASSERT_EQ(rows.size(), expected.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const QString number = expected[i].section(' ', 0, 0);
        EXPECT_TRUE(rows[i].startsWith(number + ' ') &&
                    rows[i].endsWith(expected[i].section(' ', 1)))
            << rows[i].toStdString();
    }
}

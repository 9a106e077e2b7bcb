// The disc ids of real discs against the values their databases publish: discs whose track 1
// starts at sector 32 or 33, an enhanced CD (data last) and mixed-mode CDs (data first).

#include "support/loopbackhttp.h"
#include "support/wavfile.h"
#include "support/windowtest.h"
#include "verify/discids.h"

#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

// Starts as a drive reports them (LSN), the lead-out last; data: the data track's number.
DiscToc Toc(QList<qint32> lsns, int data = 0, qint32 audioLeadOut = 0) {
    DiscToc toc;
    toc.leadOut = lsns.takeLast();
    toc.audioLeadOut = audioLeadOut ? audioLeadOut : toc.leadOut;
    for (qint32 lsn : lsns)
        toc.tracks.append({lsn, toc.tracks.size() + 1 != data});
    return toc;
}

// "Goo Goo Dolls, Dizzy up the Girl" from mbdiscid's test suite: track 1 at sector 32.
const DiscToc kStartsAt32 = Toc({32, 12112, 28067, 45957, 58302, 77017, 97830, 112502, 130332,
                                 143212, 151955, 173670, 183470, 203270});

// A CUE image of the disc: one file of every sector from 0 on (sparse: silence), sector 31 of
// the audio before track 1 holding 'p' and track 1's first sector 'x'.
QString WriteImage(const QDir& folder, const DiscToc& toc) {
    QFile bin(folder.filePath("disc.bin"));
    if (!bin.open(QIODevice::WriteOnly) || !bin.resize(qint64(toc.leadOut) * 2352) ||
        !bin.seek(31 * 2352) || bin.write(QByteArray(2352, 'p') + QByteArray(2352, 'x')) < 0)
        return {};
    QString sheet = "FILE \"disc.bin\" BINARY\n";
    for (qsizetype t = 0; t < toc.tracks.size(); ++t) {
        const qint32 lsn = toc.tracks[t].lsn;
        sheet += QString::asprintf("  TRACK %02d AUDIO\n%s    INDEX 01 %02d:%02d:%02d\n",
                                   int(t + 1), t == 0 ? "    INDEX 00 00:00:00\n" : "", lsn / 4500,
                                   lsn / 75 % 60, lsn % 75);
    }
    QFile cue(folder.filePath("disc.cue"));
    if (!cue.open(QIODevice::WriteOnly) || cue.write(sheet.toUtf8()) < 0)
        return {};
    return cue.fileName();
}

} // namespace

TEST(DiscIds, MatchWhatTheDatabasesPublish) {
    const struct {
        const char* disc;
        DiscToc toc;
        const char* want[4]; // AccurateRip id, freedb id, MusicBrainz id and toc; "": unpublished
    } cases[] = {
        // mbdiscid's test suite (ids checked against dBpoweramp and MusicBrainz).
        {"Goo Goo Dolls, Dizzy up the Girl",
         kStartsAt32,
         {"013-0015a200-00d903ba-a60a960d", "a60a960d", "eafSQC0kDG0EPmE15c7vmMp6PNs-",
          "1+13+203420+182+12262+28217+46107+58452+77167+97980+112652+130482+143362+152105+"
          "173820+183620"}},
        {"Matchbox Twenty, Yourself or Someone Like You",
         Toc({32, 17417, 34342, 51367, 69267, 86142, 111655, 126662, 139987, 158250, 177537, 193660,
              210710}),
         {"012-00150304-00c439dc-aa0af90c", "aa0af90c", "eu.FPhvxgQ78cpBNSeKdyXTp85s-", ""}},
        {"Metallica, St. Anger (enhanced)",
         Toc({0, 26277, 59362, 97277, 121645, 159902, 185817, 218075, 242610, 274815, 298360,
              349352, 357656},
             12, 337952),
         {"011-001f27c4-010ea9c1-bb12a00c", "bb12a00c", "eoknU.IyXXaywKSXdaNZgbqkGZw-",
          "1+11+338102+150+26427+59512+97427+121795+160052+185967+218225+242760+274965+298510"}},
        {"Sarah McLachlan, The Freedom Sessions (mixed mode)",
         Toc({0, 148584, 169332, 184647, 202455, 217583, 248108, 259838, 277928, 320378}, 1),
         {"008-001ef535-00ad3cb0-7b10af09", "7b10af09", "xYH60C0oTAOYn7y3CWYvrD7RMH4-", ""}},
        // libarcstk's test suite.
        {"Bach, Organ Concertos (Preston)",
         Toc({33, 5225, 7390, 23380, 35608, 49820, 69508, 87733, 106333, 139495, 157863, 198495,
              213368, 225320, 234103, 253038}),
         {"015-001b9178-014be24e-b40d2d0f", "b40d2d0f", "", ""}},
        {"Bach, Brandenburg Concertos 3-5 (Marriner)",
         Toc({33, 34283, 49908, 71508, 97983, 111183, 126708, 161883, 187158, 210143}),
         {"009-001008a6-007469b8-870af109", "870af109", "", ""}},
        {"Saint-Saens, Symphony No. 3 (Flor)",
         Toc({32, 96985, 166422, 264957}),
         {"003-0008100c-001ac008-190dcc03", "190dcc03", "", ""}},
        // ARver's documentation of data tracks.
        {"Mortal Kombat Trilogy (mixed mode)",
         Toc({0,      66578,  76352,  85813,  93610,  103898, 115916, 124593, 134056, 142766,
              151702, 160570, 169275, 178581, 188309, 196561, 206204, 214695, 223536, 225596,
              226234, 232518, 239297, 239781, 244839, 254114, 259916, 261072, 261524, 261826},
             1),
         {"028-00517a54-05a845d2-af0da31d", "af0da31d", "", ""}},
        // MusicBrainz's documentation of the disc id.
        {"MusicBrainz example",
         Toc({0,      9550,   25737,  39147,  53645,  63585,  77367,  94727,
              107120, 123402, 135372, 148272, 161047, 174640, 191872, 205395,
              217860, 228550, 239440, 255320, 266782, 288600, 303452}),
         {"", "370fce16", "xUp1F2NkfP8s8jaeFn_Av3jNEI4-", ""}},
    };
    for (const auto& c : cases) {
        const QStringList got{AccurateRipDisplayId(AccurateRipDiscIds(c.toc)), FreedbIdText(c.toc),
                              MusicBrainzDiscId(c.toc), MusicBrainzToc(c.toc)};
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(!*c.want[i] || got[i] == c.want[i])
                << c.disc << ": " << got[i].toStdString();
    }
    EXPECT_EQ(AccurateRipPath(AccurateRipDiscIds(cases[0].toc)),
              "accuraterip/0/0/2/dBAR-013-0015a200-00d903ba-a60a960d.bin");
}

// A disc that starts at track 3 with a data track first: the drive's positions count from 0,
// the numbers shown from the disc's first number (the audio hidden before the first track is
// track 0, as its row in the track list), and only tracks 4 to 6 are audio.
TEST(DiscIds, ADiscStartingAtTrack3ShowsItsOwnNumbers) {
    DiscToc toc = Toc({0, 11000, 25000, 40000, 52000}, 1);
    toc.firstTrack = 3;
    EXPECT_EQ(toc.audioTracks(), QList<int>({1, 2, 3}));
    EXPECT_EQ(toc.firstAudio(), 1);
    EXPECT_EQ(toc.lastAudio(), 3);
    const struct {
        int index;
        bool audio;
        int shown;
    } kTracks[] = {{-1, false, 0}, {0, false, 3}, {1, true, 4}, {3, true, 6}, {4, false, 7}};
    for (const auto& t : kTracks) {
        EXPECT_EQ(toc.isAudio(t.index), t.audio) << t.index;
        EXPECT_EQ(DiscTrack::At(toc, t.index).number, t.shown) << t.index;
        EXPECT_EQ(DiscTrack::At(toc, t.index).index, t.index);
    }
    EXPECT_EQ(DiscToc{}.firstAudio(), -1);
}

// The disc laid out as an image with the audio before track 1 in its file: the databases are
// asked by the published ids, the rip log lists track 1 at sector 32 with those ids, and track 1
// is ripped from its INDEX 01.
TEST(DiscIds, AnImageWhoseFirstTrackStartsAtSector32KeepsItsPublishedIds) {
    QTemporaryDir dir;
    const QString sheet = WriteImage(QDir(dir.path()), kStartsAt32);
    ASSERT_FALSE(sheet.isEmpty());
    const ScopedEnv cacheHome("XDG_CACHE_HOME", dir.filePath("cache").toStdString());
    LoopbackHttp databases([](const QByteArray&) { return LoopbackHttp::Response(404, ""); });
    const ScopedEnv musicBrainz("MIVO_MUSICBRAINZ_URL", databases.url());
    const ScopedEnv accurateRip("MIVO_ACCURATERIP_URL", databases.url());
    RealWindow w;
    ASSERT_TRUE(w.start({sheet}));
    ASSERT_TRUE(WaitUntil([&] { return !databases.requests.isEmpty(); }));
    EXPECT_TRUE(databases.requests[0].startsWith("GET /ws/2/discid/eafSQC0kDG0EPmE15c7vmMp6PNs-?"))
        << databases.requests[0].toStdString();

    const QString folder = dir.filePath("out");
    w.find<QLineEdit>("txtExtractPath").setText(folder);
    w.find<QRadioButton>("optExtractMode1").setChecked(true);
    // The 'p' before track 1 is offered as the hidden track, a moment after the scan, above it.
    ASSERT_TRUE(WaitUntil([&] { return w.list().topLevelItemCount() == 14; }));
    w.tick({2});
    w.command("IDC_FS_ExtractBtn");
    EXPECT_TRUE(std::any_of(databases.requests.cbegin(), databases.requests.cend(), [](auto& r) {
        return r.startsWith("GET /accuraterip/0/0/2/dBAR-013-0015a200-00d903ba-a60a960d.bin");
    }));
    const QStringList logs = QDir(folder).entryList({"Mivo rip *.log"});
    ASSERT_EQ(logs.size(), 1);
    QFile logFile(folder + "/" + logs[0]);
    ASSERT_TRUE(logFile.open(QIODevice::ReadOnly));
    const QString log = QString::fromUtf8(logFile.readAll());
    for (const char* line :
         {"AccurateRip disc ID: 013-0015a200-00d903ba-a60a960d", "freedb disc ID: a60a960d",
          "MusicBrainz disc ID: eafSQC0kDG0EPmE15c7vmMp6PNs-"})
        EXPECT_TRUE(log.contains(line)) << line;
    EXPECT_TRUE(log.contains(QRegularExpression("\\n1 +32 +02:41\\.05 ")));
    const WavFile track1 = ReadWav(folder + "/TRACK1.WAV");
    track1.expectCdHeader(12080 * 2352);
    EXPECT_EQ(track1.data().left(2352), QByteArray(2352, 'x'));
}

// Journeys through the real window on the real library, driven as a person drives it: clicks on
// the face's buttons, clicks and keys on the panels' controls, and the files found on disk at the
// end. A choice lost on the way between panels shows up as the wrong files.
#include "platform/audio/ffmpeg/ffmpeghandles.h"
#include "rip/ripfixture.h"
#include "support/audioprobe.h"
#include "support/dbarbuilder.h"
#include "support/flacdecode.h"
#include "support/loopbackhttp.h"
#include "support/testenv.h"
#include "support/testimages.h"
#include "support/windowtest.h"
#include "verify/trackchecksums.h"

#include <QComboBox>
#include <QDir>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>

namespace {

// The face's panel buttons, top to bottom.
const char* const kPanelButtons[] = {"btnShowExtract",  "btnCDDrive", "btnOutputFormat",
                                     "btnShowSettings", "btnGeneral", "btnHide",
                                     "btnExtract"};
// The drives' discs, in the drive list's order: they differ in track count and lengths.
const char* const kDiscs[] = {"nocdtext", "oddlengths"};

// What the completion box adds after the count, by what the AccurateRip database said.
const char* const kAll = "All tracks accurate";
const char* const kOneOfTwo = "1 of 2 tracks accurate\r\nRip again: track 2 (mismatch)";
const char* const kNone = "None checked with AccurateRip: server error 503";

// What a person sets on the panels before a rip.
struct Choice {
    int drive;            // position in the CD Drive panel's list
    int format;           // its option button on the Output format panel: optExtractMode<n>
    const char* encoding; // the CBR or VBR option under it, or null
    const char* rates;    // the bit-rate list under it, or null
    const char* rate;     // the rate picked in it
    int encoders = 0;     // typed into "Encoders at once" on the General panel; 0: left alone
};

// The audio of each track of a generated image, as its bin holds it.
std::vector<QByteArray> ImageAudio(const char* disc) {
    return TrackAudio(QString::fromLatin1(disc) + ".manifest", QString::fromLatin1(disc) + ".bin");
}

// The AccurateRip database's file for a disc as a server would send it: every track with the
// checksums of the image's own audio, confidence 3; the track numbered wrong (if any) altered.
QByteArray DbarOf(const char* disc, int wrong) {
    QFile manifest(TestImage(QString::fromLatin1(disc) + ".manifest"));
    if (!manifest.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    DiscToc toc;
    for (const QByteArray& line : manifest.readAll().split('\n')) // "<n> AUDIO <first> <sectors>"
        if (const QList<QByteArray> f = line.simplified().split(' '); f.size() == 4)
            toc.leadOut = toc.audioLeadOut = f[2].toInt() + f[3].toInt(),
            toc.tracks.append({f[2].toInt(), true});
    const AccurateRipIds ids = AccurateRipDiscIds(toc);
    DbarResponse response{ids.id1, ids.id2, ids.id3, {}};
    const std::vector<QByteArray> audio = ImageAudio(disc);
    for (std::size_t k = 0; k < audio.size(); ++k) {
        TrackChecksums sums(audio[k].size() / 4, k == 0, k + 1 == audio.size());
        sums.add(audio[k]);
        response.tracks.append({3, sums.sums().v2 + (int(k) + 1 == wrong ? 1 : 0), 0});
    }
    return DbarBytes({response});
}

// The codec FFmpeg names for the file's first stream; empty when the file cannot be read.
std::string CodecOf(const QString& path) {
    AVFormatContext* opened = nullptr;
    if (avformat_open_input(&opened, QFile::encodeName(path).constData(), nullptr, nullptr) != 0)
        return {};
    const FormatContextHandle input(opened);
    return input->nb_streams > 0 ? avcodec_get_name(input->streams[0]->codecpar->codec_id) : "";
}

void Click(RealWindow& w, const std::string& control) {
    QTest::mouseClick(&w.find<QAbstractButton>(control.c_str()), Qt::LeftButton);
}

// With the keyboard on the closed list: Home, then Down until the item shows.
void Pick(QComboBox& list, const QString& text) {
    QTest::keyClick(&list, Qt::Key_Home);
    while (list.currentText() != text && list.currentIndex() + 1 < list.count())
        QTest::keyClick(&list, Qt::Key_Down);
}

// General: the folder typed over the old one; CD Drive: the drive; Output format: the format,
// its encoding and its rate.
void Choose(RealWindow& w, const QString& folder, const Choice& c) {
    w.press("btnGeneral");
    QLineEdit& path = w.find<QLineEdit>("txtExtractPath");
    QTest::keyClick(&path, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(&path, folder);
    if (c.encoders > 0) {
        auto& encoders = w.find<QSpinBox>("spnEncoders");
        QTest::keyClick(&encoders, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(&encoders, QString::number(c.encoders));
    }
    w.press("btnCDDrive");
    auto& drives = w.find<QComboBox>("cmbCDDrives");
    Pick(drives, drives.itemText(c.drive));
    w.press("btnOutputFormat");
    Click(w, "optExtractMode" + std::to_string(c.format));
    if (c.encoding)
        Click(w, c.encoding);
    if (c.rates)
        Pick(w.find<QComboBox>(c.rates), QString::fromLatin1(c.rate));
}

// Choices that differ from a fresh start in every panel, the last one WAV.
const Choice kEverything[] = {
    {1, 3, "optMP3VBR", "cmbMP3VBitrate", "224 Kbps", 3},
    {1, 4, "optOGGVBR", "cmbOGGVBitrate", "96 Kbps"},
    {1, 2, nullptr, "cmbWMAEncodingBitrate", "64 Kbps"},
    {1, 1, nullptr, nullptr, nullptr},
};

class Journeys : public ::testing::Test {
protected:
    // A window with the two discs in its drives, on screen to be clicked.
    void start(RealWindow& w) {
        w.settingsFolder = temp.filePath("settings");
        ASSERT_TRUE(w.start({TestImage("nocdtext.cue"), TestImage("oddlengths.cue")}));
        w.form().show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.form()));
    }
    void chooseEverything(RealWindow& w) {
        for (const Choice& c : kEverything)
            Choose(w, temp.filePath("chosen"), c);
    }

    QTemporaryDir temp;
};

} // namespace

// Every format from its option to its files, each journey with its own folder and drive, going
// through every panel after choosing; a click on a row and Space tick it.
TEST_F(Journeys, TheFormatDriveAndFolderChosenAreWhatIsRipped) {
    struct Journey {
        const char* name;
        Choice choice;
        const char* extension;
        const char* codec; // null: WAV, compared byte for byte with the disc
        long long bitRate; // 0: a variable rate, not checked
        int verified;      // the database has: 0 all tracks; 2 track 2 differently; -1 no answer
        const char* summary;
    };
    const Journey journeys[] = {
        {"Mivo Default", {1, 0, nullptr, nullptr, nullptr, 2}, "mp3", "mp3", 128000, 0, kAll},
        {"WAV", {0, 1, nullptr, nullptr, nullptr}, "WAV", nullptr, 0, 2, kOneOfTwo},
        {"WMA",
         {1, 2, nullptr, "cmbWMAEncodingBitrate", "96 Kbps", 2},
         "WMA",
         "wmav2",
         96000,
         -1,
         kNone},
        {"MP3",
         {0, 3, "optMP3CBR", "cmbMP3CBitrate", "192 Kbps", 1},
         "mp3",
         "mp3",
         192000,
         0,
         kAll},
        {"OGG", {1, 4, "optOGGVBR", "cmbOGGVBitrate", "160 Kbps", 1}, "ogg", "vorbis", 0, 0, kAll},
        {"FLAC", {0, 5, nullptr, "cmbFLACLevel", "8 (smallest)", 2}, "flac", "flac", 0, 0, kAll},
    };
    // One journey; a failed step ends that journey only.
    const auto walk = [this](const Journey& j) {
        const QByteArray dbar = DbarOf(kDiscs[j.choice.drive], j.verified);
        LoopbackHttp accurateRip([&](const QByteArray&) {
            return std::optional(j.verified < 0 ? LoopbackHttp::Response(503, "")
                                                : LoopbackHttp::Response(200, dbar));
        });
        const ScopedEnv server("MIVO_ACCURATERIP_URL", accurateRip.url());
        RealWindow w;
        start(w);
        const QString folder = temp.filePath(j.name);
        Choose(w, folder, j.choice);
        for (const char* panel : kPanelButtons)
            w.press(panel);
        w.press("btnShowExtract");
        const std::vector<QByteArray> audio = ImageAudio(kDiscs[j.choice.drive]);
        ASSERT_EQ(w.list().topLevelItemCount(), static_cast<int>(audio.size()));
        for (QTreeWidgetItem* row : {w.list().topLevelItem(0), w.list().topLevelItem(1)}) {
            QTest::mouseClick(w.list().viewport(), Qt::LeftButton, {},
                              w.list().visualItemRect(row).center());
            QTest::keyClick(&w.list(), Qt::Key_Space);
        }
        w.press("btnExtractBtn");

        ASSERT_TRUE(WaitUntil([&] { return !w.messages("Ripping Completed").isEmpty(); }));
        EXPECT_EQ(w.messages(),
                  QStringList{"2 Tracks have been Ripped to " + folder + "\r\n" + j.summary});
        // (beside them the playlist, and the cue sheet of a disc ripped whole)
        QStringList files =
            QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        files.removeIf([](const QString& f) { return f.endsWith(".m3u8") || f.endsWith(".cue"); });
        ASSERT_EQ(files.size(), 3) << "no spool, nothing half-written";
        EXPECT_EQ(files.mid(1), QStringList({QString("TRACK1.") + j.extension,
                                             QString("TRACK2.") + j.extension}));
        QFile log(folder + "/" + files[0]);
        ASSERT_TRUE(files[0].startsWith("Mivo rip ") && log.open(QIODevice::ReadOnly));
        // The log's summary: a row for each track, its number first and its result last.
        const QStringList rows = QString::fromUtf8(log.readAll())
                                     .section("\nSummary\n", 1)
                                     .split('\n')
                                     .filter(QRegularExpression("^\\d+  "));
        ASSERT_EQ(rows.size(), 2);
        for (int n = 1; n <= 2; ++n) {
            const char* result = j.verified < 0    ? "not checked"
                                 : j.verified == n ? "mismatch"
                                                   : "accurate (confidence 3)";
            EXPECT_TRUE(rows[n - 1].startsWith(QString::number(n) + " ") &&
                        rows[n - 1].endsWith(result))
                << rows[n - 1].toStdString();
        }
        for (int n = 1; n <= 2; ++n) {
            const QString file = folder + "/TRACK" + QString::number(n) + "." + j.extension;
            const QByteArray& pcm = audio[n - 1];
            if (j.codec == nullptr) {
                const WavFile wav = ReadWav(file);
                wav.expectCdHeader(static_cast<quint32>(pcm.size()));
                EXPECT_TRUE(wav.data() == pcm) << n;
                continue;
            }
            if (j.extension == std::string("flac")) { // lossless: the disc's exact samples
                const FlacDecoded flac = DecodeFlac(file);
                EXPECT_TRUE(flac.ok) << n;
                EXPECT_TRUE(flac.pcm == pcm) << n;
            }
            const AudioProbe probe = ProbeAudio(file);
            ASSERT_TRUE(probe.opened) << file.toStdString();
            EXPECT_EQ(CodecOf(file), j.codec);
            EXPECT_NEAR(probe.seconds, pcm.size() / double(kSecond), 0.046); // an encoder frame
            if (j.bitRate > 0) {
                EXPECT_EQ(probe.bitRate, j.bitRate);
            }
        }
    };
    for (const Journey& j : journeys) {
        SCOPED_TRACE(j.name);
        walk(j);
    }
}

// Showing a panel only brings it to the front: no pair of panel buttons, in either order,
// changes a value the user has set and not saved.
TEST_F(Journeys, ShowingAnyPanelAfterAnyOtherChangesNoOption) {
    RealWindow w;
    start(w);
    chooseEverything(w);
    const QStringList chosen = w.optionValues();
    for (const char* first : kPanelButtons)
        for (const char* second : kPanelButtons) {
            w.press(first);
            w.press(second);
            ASSERT_EQ(w.optionValues(), chosen) << first << " then " << second;
        }
}

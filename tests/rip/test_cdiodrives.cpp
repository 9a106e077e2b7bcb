// The code that reads real discs (libcdio's table of contents and CD-TEXT, paranoia reads, the
// read offset on a drive), run on generated images that libcdio opens as drives through its
// own image drivers (MIVO_CDIO_DEVICES): scanned, ripped and played through the real window.
#include "playback/player.h"
#include "ripfixture.h"
#include "support/flacdecode.h"
#include "support/testimages.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSpinBox>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// libcdio's TOC reader finds a FILE relative to the program's current folder: the copy names
// the bin by its full path.
QString TocWithFullPaths(const QString& folder) {
    const QString path = folder + "/cdtext.toc";
    QFile copy(path);
    const QByteArray text =
        ReadAll(TestImage("cdtext.toc"))
            .replace("\"cdtext.bin\"", '"' + TestImage("cdtext.bin").toUtf8() + '"');
    return copy.open(QIODevice::WriteOnly) && copy.write(text) == text.size() ? path : QString();
}

QString RipLog(const QString& folder) {
    const QStringList logs = QDir(folder).entryList({"Mivo rip *"});
    return logs.size() == 1 ? QString::fromUtf8(ReadAll(folder + "/" + logs.first())) : QString();
}

// The rip log's summary rows without their results: track, CRC32, AccurateRip v1 and v2.
QStringList Sums(const QString& folder) {
    QStringList rows =
        RipLog(folder).section("\nSummary\n", 1).split('\n').filter(QRegularExpression("^\\d+  "));
    for (QString& row : rows)
        row = row.section(QRegularExpression("\\s+"), 0, 3);
    return rows;
}

// Rips both tracks in the format of that option into the folder; the completion box's text.
QString RipBoth(RealWindow& w, const char* format, const QString& folder) {
    w.find<QLineEdit>("txtExtractPath").setText(folder);
    w.find<QRadioButton>(format).setChecked(true);
    w.tick({1, 2});
    w.dialogs.messages.clear();
    w.command("IDC_FS_ExtractBtn");
    if (!WaitUntil([&] { return !w.messages("Ripping Completed").isEmpty(); }))
        return {};
    return FirstLines(w.messages()).join('|');
}

} // namespace

// A CUE/BIN image and a cdrdao TOC image with CD-TEXT, each listed as a drive libcdio opens:
// scanned with titles, ripped with paranoia on to WAV (the image's bytes) and FLAC (its exact
// samples) with the sums the same disc gives as a virtual drive, read shifted by a read offset,
// and played.
TEST(CdioDrives, ImagesReadAsDrivesRipAndPlayAsTheImageHoldsThem) {
    QTemporaryDir temp;
    const QByteArray disc = ReadAll(TestImage("cdtext.bin"));
    const std::vector<QByteArray> tracks = TrackAudio("cdtext.manifest", "cdtext.bin");
    ASSERT_EQ(tracks.size(), 2u);

    RealWindow asImage;
    ASSERT_TRUE(asImage.start({TestImage("cdtext.cue")}));
    ASSERT_EQ(RipBoth(asImage, "optExtractMode1", temp.filePath("image")),
              "2 Tracks have been Ripped to " + temp.filePath("image"));
    const QStringList imageSums = Sums(temp.filePath("image"));
    ASSERT_EQ(imageSums.size(), 2);

    struct Rip {
        const char* format; // its option button
        int offset;         // samples
    };
    const Rip rips[] = {{"optExtractMode1", 0},
                        {"optExtractMode5", 0},
                        {"optExtractMode1", 667},
                        {"optExtractMode5", -6}};
    const QStringList sheets{TestImage("cdtext.cue"), TocWithFullPaths(temp.path())};
    for (const QString& sheet : sheets) {
        SCOPED_TRACE(sheet.toStdString());
        RealWindow w;
        ASSERT_TRUE(w.start({}, {sheet}));
        EXPECT_TRUE(w.find<QComboBox>("cmbCDDrives").currentText().startsWith("D: libcdio "));
        EXPECT_EQ(w.column(2), QStringList({"00:02", "00:02"}));
        EXPECT_EQ(w.column(3), QStringList({"First Song", "Second Song"}));
        EXPECT_EQ(w.find<QLineEdit>("txtCDArtist").text(), "Text Band");

        emit w.list().itemDoubleClicked(w.list().topLevelItem(0), 0); // played from the drive
        BassCore& core = w.audio->library().core;
        const DWORD stream = w.find<Player>().currentStream();
        EXPECT_TRUE(WaitUntil([&] { return core.BASS_ChannelGetPosition(stream) >= kSecond / 4; }));

        for (const Rip& rip : rips) {
            const bool wav = rip.format == std::string("optExtractMode1");
            SCOPED_TRACE(std::string(wav ? "WAV" : "FLAC") + " offset " +
                         std::to_string(rip.offset));
            w.find<QSpinBox>("spnReadOffset").setValue(rip.offset); // a drive's: not greyed
            const QString folder = temp.filePath(
                QString("%1 %2 %3").arg(sheets.indexOf(sheet)).arg(rip.format).arg(rip.offset));
            ASSERT_EQ(RipBoth(w, rip.format, folder), "2 Tracks have been Ripped to " + folder);
            EXPECT_TRUE(RipLog(folder).contains("Read mode: paranoia on"));
            if (rip.offset == 0) {
                EXPECT_EQ(Sums(folder), imageSums);
            }
            for (int n = 1, start = 0; n <= 2; start += tracks[n - 1].size(), ++n) {
                const QByteArray expected =
                    AudioAt(disc, start + 4 * rip.offset, tracks[n - 1].size());
                const QString file = folder + QString("/TRACK%1.").arg(n) + (wav ? "WAV" : "flac");
                const QByteArray pcm = wav ? ReadWav(file).data() : DecodeFlac(file).pcm;
                EXPECT_TRUE(pcm == expected) << n;
            }
        }
        w.find<QSpinBox>("spnReadOffset").setValue(0);
    }
}

// Rips of the archive disc (a hidden track, pregaps, ISRCs, a catalog number, a track with
// pre-emphasis) through the rip job on the real library: what the files carry beside their audio
// and what the rip leaves beside them, read back as a player or a tagger reads them.
#include "rip/ripfixture.h"

#include "dsp/deemphasis.h"
#include "metadata/replaygain.h"
#include "platform/audio/createaudiolibrary.h"
#include "platform/audio/image/imagesheet.h"
#include "platform/audio/image/virtualdrive.h"
#include "support/audioprobe.h"
#include "support/flacdecode.h"
#include "support/testimages.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QImage>

#include <taglib/flacfile.h>
#include <taglib/tpropertymap.h>

namespace {

constexpr int kHidden = -1;

QString Prop(const QString& file, const char* name) {
    TagLib::FLAC::File flac(QFile::encodeName(file).constData());
    const TagLib::StringList values = flac.properties()[name];
    return values.isEmpty() ? QString() : QString::fromStdString(values.front().to8Bit(true));
}

QString Text(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A sheet of one file, as the image reader scans it: the catalog number, then per track where
// INDEX 00 and INDEX 01 lie in the file, its ISRC and flags.
QStringList OneFileSheet(const QString& path) {
    const ScannedSheet sheet = ScanSheet(SheetKind::Cue, Text(path).toStdString(), "/",
                                         [](int) { return std::string("staged"); });
    EXPECT_EQ(sheet.error + std::to_string(sheet.files.size()), "1");
    QStringList read{QString::fromStdString(sheet.catalog)};
    for (const SheetTrack& t : sheet.tracks)
        read << QStringLiteral("%1 %2 %3 %4%5")
                    .arg(t.gapFrame ? qint64(*t.gapFrame) : -1)
                    .arg(qint64(t.startFrame.value_or(0)))
                    .arg(QString::fromStdString(t.isrc))
                    .arg(t.preEmphasis)
                    .arg(t.copyPermitted);
    return read;
}

class LibraryRips : public ::testing::Test {
protected:
    void SetUp() override {
        const QString app = QCoreApplication::applicationDirPath();
        const ScopedEnv images("MIVO_DISC_IMAGES", TestImage("archive.cue").toStdString());
        audio = CreateAudioLibrary({app.toStdString(), app.toStdString()});
        audio->library().core.BASS_Init(0, 44100, 0, nullptr, nullptr);
        folder = temp.filePath("out");
    }
    RipRequest request(int format, std::vector<int> tracks) const {
        RipRequest request;
        request.tracks = std::move(tracks);
        request.output.format = format;
        request.output.mp3CbrText = "128 Kbps";
        request.output.folder = folder;
        request.output.fileNames = "TRACK{n}";
        request.tags.release.title = "Archive";
        request.tags.release.artist = "The Generators";
        request.tags.mcn = "0724384960650";
        request.tags.isrcs = {"GBAYE6900001", "GBAYE6900002", "", "USRC17607839", ""};
        request.tags.hiddenTrackTitle = "Hidden track";
        return request;
    }
    int rip(const RipRequest& request, std::size_t boxes = 0) {
        const HangGuard guard("a rip of the archive disc");
        run.dialogs.messages.clear();
        const int ripped = run.rip(audio->library(), request);
        if (run.dialogs.messages.size() != boxes)
            for (const RecordedMessage& m : run.dialogs.messages)
                ADD_FAILURE() << (m.caption + ": " + m.text).toStdString();
        return ripped;
    }
    QString file(int number, const char* extension) const {
        return folder + "/TRACK" + QString::number(number) + extension;
    }

    QTemporaryDir temp;
    QString folder;
    std::unique_ptr<AudioLibraryInstance> audio;
    JobRun run;
};

constexpr int kWav = 1;
constexpr int kMp3 = 3;
constexpr int kFlac = 5;

} // namespace

// Each FLAC file carries its own track's gain, the album's, the disc's codes and the cover; the
// cover file lies beside them and the log gives every value.
TEST_F(LibraryRips, FlacFilesCarryGainCodesAndCover) {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    image.save(&png, "PNG");
    RipRequest job = request(kFlac, {0, 1, 2, 3, 4});
    job.tags.cover = {png.data(), "image/png", 8, 8, 24};
    job.tags.coverNotes = {"cover: your image"};
    ASSERT_EQ(rip(job), 5);

    std::vector<LoudnessMeter> meters(5);
    std::vector<const LoudnessMeter*> all;
    for (int n = 1; n <= 5; ++n) {
        SCOPED_TRACE(n);
        const QString flac = file(n, ".flac");
        meters[n - 1].add(DecodeFlac(flac).pcm);
        all.push_back(&meters[n - 1]);
        const Loudness track = meters[n - 1].result();
        EXPECT_EQ(Prop(flac, "REPLAYGAIN_TRACK_GAIN"), GainText(*track.gain()));
        EXPECT_EQ(Prop(flac, "REPLAYGAIN_TRACK_PEAK"), PeakText(track.truePeak));
        EXPECT_EQ(Prop(flac, "ISRC"), job.tags.isrcs[n - 1]);
        EXPECT_EQ(Prop(flac, "BARCODE"), "0724384960650");
        TagLib::FLAC::File tagged(QFile::encodeName(flac).constData());
        ASSERT_EQ(tagged.pictureList().size(), 1u);
        EXPECT_EQ(tagged.pictureList().front()->type(), TagLib::FLAC::Picture::FrontCover);
        EXPECT_EQ(QByteArray(tagged.pictureList().front()->data().data(),
                             int(tagged.pictureList().front()->data().size())),
                  png.data());
    }
    const Loudness album = LoudnessMeter::Album(all);
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(Prop(file(n, ".flac"), "REPLAYGAIN_ALBUM_GAIN"), GainText(*album.gain()));
    EXPECT_TRUE(QFile::exists(folder + "/cover.png"));
    const QString log = Text(QDir(folder).entryInfoList({"*.log"}).value(0).filePath());
    EXPECT_TRUE(log.contains("ReplayGain album: " + LoudnessLogText(album) + "\n"));
    EXPECT_TRUE(log.contains("ReplayGain: " + LoudnessLogText(meters[2].result()) + "\n"));
    EXPECT_TRUE(log.contains("Cover: your image\nCover file: cover.png\n"));
}

// A whole-disc rip with the hidden track: its file holds the disc's audio before track 1, the cue
// sheet and the playlist name every file, and the log's table of contents gives the subcode. A
// sheet or playlist that cannot be written is one box; the audio files stay.
TEST_F(LibraryRips, AWholeDiscLeavesItsSheetAndPlaylistBesideTheFiles) {
    ASSERT_EQ(rip(request(kWav, {kHidden, 0, 1, 2, 3, 4})), 6);
    DiscToc toc;
    ASSERT_TRUE(audio->library().cd.BASS_CD_GetTOC(0, &toc));
    QFile bin(TestImage("archive.bin"));
    ASSERT_TRUE(bin.open(QIODevice::ReadOnly));
    EXPECT_EQ(ReadWav(file(0, ".WAV")).data(), bin.read(qint64(toc.tracks[0].lsn) * 2352));

    const QString sheet = Text(folder + "/Archive.cue");
    EXPECT_EQ(sheet.count("\nFILE \"TRACK"), 6);
    EXPECT_EQ(sheet.count("INDEX 00"), 3); // track 1's in the hidden track's file, 2 and 4
    for (const char* line : {"CATALOG 0724384960650\n", "ISRC GBAYE6900002\n", "FLAGS PRE\n",
                             "FILE \"TRACK0.WAV\" WAVE\n"})
        EXPECT_TRUE(sheet.contains(line)) << line;
    QStringList listed = Text(folder + "/Archive.m3u8").split('\n', Qt::SkipEmptyParts);
    EXPECT_EQ(listed.takeFirst(), "#EXTM3U");
    EXPECT_EQ(listed.first(), "#EXTINF:4,The Generators - Hidden track");
    EXPECT_EQ(listed.filter(QRegularExpression("^[^#]")),
              QStringList({"TRACK0.WAV", "TRACK1.WAV", "TRACK2.WAV", "TRACK3.WAV", "TRACK4.WAV",
                           "TRACK5.WAV"}));
    const QString log = Text(QDir(folder).entryInfoList({"*.log"}).value(0).filePath());
    for (const char* line :
         {"Index 00", "hidden track\n", "GBAYE6900002", "pre-emphasis\n",
          "Catalog number (MCN): 0724384960650\n", "Track 0\nFile: TRACK0.WAV\n",
          "Pre-emphasis: the file keeps it as the disc has it\n", "Cue sheet: Archive.cue\n",
          "Playlist: Archive.m3u8\n", "no entry for the hidden track"})
        EXPECT_TRUE(log.contains(line)) << line;

    QDir(folder).removeRecursively();
    QDir().mkpath(folder + "/Archive.m3u8"); // a folder where the playlist would go
    EXPECT_EQ(rip(request(kWav, {0, 1}), 1), 2);
    ASSERT_EQ(run.dialogs.messages.size(), 1u);
    EXPECT_EQ(run.dialogs.messages[0].caption, "Cue sheet and playlist");
    EXPECT_TRUE(QFile::exists(file(2, ".WAV")));
}

// The table of contents of a disc image: each track's start, and the lead-out.
QList<qint32> Starts(const QString& sheet) {
    DiscToc toc;
    VirtualDrive(sheet.toStdString()).toc(toc);
    QList<qint32> starts;
    for (const DiscToc::Track& track : toc.tracks)
        starts << track.lsn;
    return starts << toc.leadOut;
}

// The sheet and its WAV file loaded as a disc image are the disc: its table of contents, and
// track 2 reads as the disc's bytes.
void ExpectTheSameDisc(const QString& sheet, const QByteArray& disc) {
    const QList<qint32> starts = Starts(sheet);
    EXPECT_EQ(starts, Starts(TestImage("archive.cue")));
    const auto track = VirtualDrive(sheet.toStdString()).openTrack(1, ReadCare::Steady, 0);
    ASSERT_NE(track, nullptr);
    QByteArray read(qsizetype(track->length()), '\0');
    for (qsizetype at = 0, got = 1; at < read.size() && got > 0; at += got)
        got = track->read(read.data() + at, int(read.size() - at));
    EXPECT_TRUE(read == disc.mid(qsizetype(starts.value(1)) * 2352, read.size()));
}

// "One file for the whole disc": the tracks joined into one file of the disc's audio bytes, and a
// sheet pointing into it that reads back as the disc's own; a job short of a track keeps its files.
TEST_F(LibraryRips, OneFileForTheWholeDiscIsTheDiscsAudio) {
    QFile bin(TestImage("archive.bin"));
    ASSERT_TRUE(bin.open(QIODevice::ReadOnly));
    const QByteArray disc = bin.readAll();
    for (const int format : {kWav, kFlac}) {
        SCOPED_TRACE(format);
        QDir(folder).removeRecursively();
        RipRequest job = request(format, {kHidden, 0, 1, 2, 3, 4});
        job.output.wholeDiscImage = true;
        ASSERT_EQ(rip(job), 6);
        const QString image = format == kWav ? "Archive.wav" : "Archive.flac";
        const QString path = folder + '/' + image;
        EXPECT_TRUE((format == kWav ? ReadWav(path).data() : DecodeFlac(path).pcm) == disc);
        EXPECT_EQ(QDir(folder).entryList({"TRACK*"}), QStringList());
        EXPECT_EQ(OneFileSheet(folder + "/Archive.cue"), OneFileSheet(TestImage("archive.cue")));
        if (format == kWav)
            ExpectTheSameDisc(folder + "/Archive.cue", disc);
        EXPECT_TRUE(Text(folder + "/Archive.m3u8").endsWith('\n' + image + '\n'));
        EXPECT_TRUE(Text(QDir(folder).entryInfoList({"*.log"}).value(0).filePath())
                        .contains("Disc image: " + image +
                                  " holds the whole disc; the track files are not kept\n"));
    }
    QDir(folder).removeRecursively();
    RipRequest some = request(kWav, {0, 1});
    some.output.wholeDiscImage = true;
    ASSERT_EQ(rip(some), 2);
    EXPECT_TRUE(QFile::exists(file(1, ".WAV")) && QFile::exists(file(2, ".WAV")));
    EXPECT_TRUE(Text(QDir(folder).entryInfoList({"*.log"}).value(0).filePath())
                    .contains("Disc image: none, not every audio track was ripped"));
}

// "Remove pre-emphasis" changes the lossy file of the flagged track only; the other track's file
// is what it would be without it.
TEST_F(LibraryRips, PreEmphasisIsRemovedFromTheFlaggedTracksLossyFile) {
    std::map<bool, std::vector<AudioProbe>> decoded;
    for (const bool remove : {false, true}) {
        RipRequest job = request(kMp3, {1, 2});
        job.output.removePreEmphasis = remove;
        ASSERT_EQ(rip(job), 2);
        decoded[remove] = {ProbeAudio(file(2, ".mp3")), ProbeAudio(file(3, ".mp3"))};
    }
    // The treble's share: the energy of the difference between neighbouring left samples.
    const auto treble = [](const auto& left) {
        double sum = 0;
        for (std::size_t i = 1; i < left.size(); ++i)
            sum += std::pow(double(left[i]) - double(left[i - 1]), 2);
        return sum;
    };
    const auto leftOf = [](const QByteArray& pcm) {
        std::vector<std::int16_t> left(std::size_t(pcm.size()) / 4);
        for (std::size_t i = 0; i < left.size(); ++i)
            left[i] = qFromLittleEndian<std::int16_t>(pcm.constData() + 4 * i);
        return left;
    };
    QByteArray disc = TrackAudio("archive.manifest", "archive.bin").at(2);
    const double before = treble(leftOf(disc));
    DeEmphasis().process(reinterpret_cast<std::int16_t*>(disc.data()),
                         std::size_t(disc.size()) / 4);
    const double expected = treble(leftOf(disc)) / before;
    EXPECT_EQ(decoded[false][0].channels[0], decoded[true][0].channels[0]);
    const double ratio =
        treble(decoded[true][1].channels[0]) / treble(decoded[false][1].channels[0]);
    EXPECT_LT(expected, 0.97);
    EXPECT_NEAR(ratio, expected, 0.02);
}

// "Also make": the disc is read once for both formats, and a track counts when both its files are
// whole; a second format that cannot be made leaves the first format's files.
TEST_F(LibraryRips, ASecondFormatIsMadeFromTheSameReading) {
    RipRequest job = request(kFlac, {0, 1});
    job.output.alsoFormat = kWav;
    job.output.alsoFileNames = "{format}/TRACK{n}";
    int reads = 0;
    run.trackStarted = [&](int) { ++reads; };
    ASSERT_EQ(rip(job), 2);
    EXPECT_EQ(reads, 2);
    for (const int n : {1, 2})
        EXPECT_EQ(ReadWav(folder + "/WAV/TRACK" + QString::number(n) + ".WAV").data(),
                  DecodeFlac(file(n, ".flac")).pcm);
    const QString log = Text(QDir(folder).entryInfoList({"*.log"}).value(0).filePath());
    EXPECT_TRUE(log.contains("Also made: WAV, files named {format}/TRACK{n}\n") &&
                log.contains("Also made: WAV/TRACK2.WAV\n"));

    QTemporaryDir noEncoders;
    const ScopedEnv path("PATH", noEncoders.path().toStdString());
    job.output.alsoFormat = kMp3;
    EXPECT_EQ(rip(job, 1), 0);
    ASSERT_EQ(run.dialogs.messages.size(), 1u);
    EXPECT_TRUE(run.dialogs.messages[0].text.contains("lame"));
    EXPECT_TRUE(QFile::exists(file(1, ".flac")) && QFile::exists(file(2, ".flac")));
}

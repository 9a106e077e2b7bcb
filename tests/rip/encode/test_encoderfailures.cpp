// Rips through the rip job on the real library, its encoders at work two at a time, and every
// way the encoder's side of a track can fail: each ends that track with one box that names the
// real reason and the right file, the file an earlier rip made stays, and the job ends.
#include "rip/ripfixture.h"

#include "platform/audio/createaudiolibrary.h"
#include "rip/files/ripnames.h"
#include "support/audioprobe.h"
#include "support/testimages.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTimer>

#include <unistd.h>

namespace {

// The lame placed on the PATH: body runs for the file named last on its command line, the
// real lame for the others.
const char* const kLameFor2 = R"(#!/bin/sh
for last; do :; done
case "$last" in *TRACK2*) ;; *) exec /usr/bin/lame "$@" ;; esac
)";

// Closes as fclose does, but says the disk refused the end of TRACK2.flac.
int RefuseFlacClose(std::FILE* file) {
    const QString path = QFile::symLinkTarget(QStringLiteral("/proc/self/fd/%1").arg(fileno(file)));
    const int closed = std::fclose(file);
    if (!path.endsWith(HiddenNameWhileWriting("TRACK2.flac")))
        return closed;
    errno = EIO;
    return EOF;
}

class EncoderSide : public ::testing::Test {
protected:
    void SetUp() override {
        const QString app = QCoreApplication::applicationDirPath();
        const ScopedEnv images("MIVO_DISC_IMAGES", TestImage("nocdtext.cue").toStdString());
        audio = CreateAudioLibrary({app.toStdString(), app.toStdString()});
        audio->library().core.BASS_Init(0, 44100, 0, nullptr, nullptr);
        folder = temp.filePath("out");
        QDir().mkpath(folder);
    }
    void placeLame(const QByteArray& script) {
        QFile lame(bin.filePath("lame"));
        ASSERT_TRUE(lame.open(QIODevice::WriteOnly) && lame.write(script) == script.size());
        lame.setPermissions(lame.permissions() | QFile::ExeOwner);
    }
    void placeEarlier(const QString& name) {
        QFile earlier(folder + "/" + name);
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier rip") > 0);
    }
    QString spooled(int number) const {
        return folder + "/" + SpoolFolderName() + "/TRACK" + QString::number(number) + ".wav";
    }
    int rip(int format, int encoders, const QString& names = "TRACK{n}") {
        RipRequest request;
        request.tracks = {0, 1, 2};
        request.output.fileNames = names;
        request.output.format = format;
        request.output.mp3CbrText = "128 Kbps";
        request.output.folder = folder;
        request.output.encoders = encoders;
        const HangGuard guard("a rip with an encoder failing");
        return run.rip(audio->library(), request);
    }
    QStringList boxes() const {
        QStringList texts;
        for (const RecordedMessage& m : run.dialogs.messages)
            texts << m.caption + ": " + m.text;
        return texts;
    }

    QTemporaryDir temp;
    QTemporaryDir bin;
    QString folder;
    std::unique_ptr<AudioLibraryInstance> audio;
    JobRun run;
};

constexpr int kMp3 = 3;
constexpr int kFlac = 5;

} // namespace

// Two encoders at once, lame and then FLAC: every file is the whole track.
TEST_F(EncoderSide, TwoEncodersAtOnceMakeWholeFiles) {
    for (const int format : {kMp3, kFlac}) {
        EXPECT_EQ(rip(format, 2), 3) << boxes().join(" | ").toStdString();
        for (int n = 1; n <= 3; ++n) {
            const QString file =
                folder + "/TRACK" + QString::number(n) + (format == kMp3 ? ".mp3" : ".flac");
            EXPECT_NEAR(ProbeAudio(file).seconds, n + 1, 0.05) << file.toStdString();
        }
    }
    EXPECT_TRUE(run.dialogs.messages.empty());
}

TEST_F(EncoderSide, EachFailureEndsItsTrackWithOneTrueBox) {
    struct Case {
        const char* name;
        int format;
        QByteArray script;                          // the lame's part for TRACK2, or empty
        std::function<void(EncoderSide&)> atTrack3; // done when the reader starts track 3
        const char* outcome;
        QString box;   // the one box: its caption, then words it holds
        QString where; // the file it names
        enum { Alone, Stop, SessionEnds } then = Alone; // while the box is open
    };
    const QString spool2 = spooled(2);
    const QString flac2 = folder + "/TRACK2.flac";
    const QString mp32 = folder + "/TRACK2.mp3";
    const Case cases[] = {
        {"spool missing",
         kMp3,
         {},
         [&](EncoderSide&) { QFile::remove(spool2); },
         "read failed",
         "Mivo CD Player: Error in routine : ExtractAudioTrackin module : frmDemo\r\nError "
         "#2\r\nNo such file or directory (reading the spooled audio of track 2 from ",
         spool2},
        {"spool unreadable",
         kMp3,
         {},
         [&](EncoderSide&) { QFile::remove(spool2), QDir().mkdir(spool2); },
         "read failed",
         "Is a directory (reading the spooled audio of track 2 from ",
         spool2},
        {"spool truncated",
         kMp3,
         {},
         [&](EncoderSide&) { QFile::resize(spool2, 44 + 264600); },
         "read failed",
         "The spooled audio of track 2 holds 264600 bytes, not the track's 529200",
         spool2},
        {"noise", kMp3, "cat >/dev/null; head -c 300000 /dev/urandom > \"$last\"; exit 0", nullptr,
         "encoder failed", "Encoder: lame made a file that is not a valid MP3 (", mp32},
        {"killed", kMp3, "head -c 50000 >/dev/null; printf 'half an mp3' > \"$last\"; kill -9 $$",
         nullptr, "encoder failed", "Encoder: lame was ended by signal 9", mp32},
        {"killed, then Stop", kMp3,
         "head -c 50000 >/dev/null; printf 'half an mp3' > \"$last\"; kill -9 $$", nullptr,
         "encoder failed", "Encoder: lame was ended by signal 9", mp32, Case::Stop},
        {"killed, then the session ends", kMp3,
         "head -c 50000 >/dev/null; printf 'half an mp3' > \"$last\"; kill -9 $$", nullptr,
         "encoder failed", "Encoder: lame was ended by signal 9", mp32, Case::SessionEnds},
        {"FLAC close", kFlac, {}, nullptr, "write failed", "Input/output error (closing ", flac2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        run = {};
        // What an earlier case put where a spool file goes is not Mivo's, so it stays there.
        QDir(QFileInfo(spool2).path()).removeRecursively();
        const QByteArray body = c.script.isEmpty() ? "exec /usr/bin/lame \"$@\"" : c.script;
        placeLame(QByteArray(kLameFor2) + body);
        const ScopedEnv path("PATH", bin.path().toStdString() + ":/usr/bin:/bin");
        placeEarlier(c.format == kFlac ? "TRACK2.flac" : "TRACK2.mp3");
        if (c.format == kFlac)
            run.closeFile = RefuseFlacClose;
        // Track 1's encoder waits for the change, so track 2's spool waits for an encoder.
        const QString gate = temp.filePath("gate");
        QFile::remove(gate);
        if (c.atTrack3) {
            placeLame(QByteArray("#!/bin/sh\nwhile [ ! -e \"") + gate.toUtf8() +
                      "\" ]; do sleep 0.02; done\n" + QByteArray(kLameFor2).mid(10) + body);
            run.trackStarted = [&](int number) {
                if (number == 3) {
                    c.atTrack3(*this);
                    QFile(gate).open(QIODevice::WriteOnly);
                }
            };
        }
        if (c.then == Case::Stop)
            run.dialogs.onMessage = [this](const RecordedMessage&) {
                run.running->StopRipping();
                return MessageResult::Ok;
            };
        if (c.then == Case::SessionEnds) {
            run.dialogs.keepOpen = "Encoder";
            run.dialogs.whenOpen = [this] { run.running->StopForShutdown(); };
        }
        const int ripped = rip(c.format, 1);
        const QStringList said = boxes();
        ASSERT_EQ(said.size(), 1) << said.join(" | ").toStdString();
        EXPECT_TRUE(said[0].contains(c.box)) << said[0].toStdString();
        EXPECT_TRUE(said[0].contains(c.where)) << said[0].toStdString();
        const QString again = "Rip again: track 2 (" + QString(c.outcome) + ")";
        if (c.then == Case::Alone) {
            EXPECT_EQ(ripped, 2);
            EXPECT_EQ(run.lines.section("\r\n", 2), again);
        } else {
            EXPECT_TRUE(run.lines.contains(again)) << run.lines.toStdString();
            EXPECT_EQ(run.dialogs.closed, c.then == Case::SessionEnds ? 1 : 0);
        }
        EXPECT_EQ(ReadWav(c.format == kFlac ? flac2 : mp32).bytes, "earlier rip");
    }
}

// A name the system will not take is said before any encoder starts, with the system's reason.
TEST_F(EncoderSide, ANameTooLongIsSaidBeforeTheEncoderStarts) {
    EXPECT_EQ(rip(kMp3, 1, (QString(200, 'x') + '/').repeated(21) + "{n}"), 0); // 4,200 bytes
    const QStringList said = boxes();
    ASSERT_EQ(said.size(), 3) << said.join(" | ").toStdString();
    for (const QString& box : said)
        EXPECT_TRUE(box.startsWith("Output folder: The file \"" + folder + "/xxx") &&
                    box.contains("\" cannot be made: File name too long."))
            << box.toStdString();
}

// An encoder that takes all of its input and then hangs never holds the job after the user's
// Stop or the session's end: it is ended, and its track, with no file, is not ripped. (The bound
// only tells a held Stop: the encoder would sleep ten minutes, and was once given thirty seconds.)
TEST_F(EncoderSide, AnEncoderThatHangsNeverHoldsAStop) {
    const QString started = temp.filePath("lame started");
    placeLame(QByteArray(kLameFor2) + "touch \"" + started.toUtf8() +
              "\"; cat >/dev/null; sleep 600\n");
    const ScopedEnv path("PATH", bin.path().toStdString() + ":/usr/bin:/bin");
    for (const bool sessionEnds : {false, true}) {
        SCOPED_TRACE(sessionEnds ? "the session ends" : "Stop");
        run = {};
        QFile::remove(started);
        QElapsedTimer sinceStop;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (sinceStop.isValid() || !QFile::exists(started) || run.running == nullptr)
                return;
            sinceStop.start();
            sessionEnds ? run.running->StopForShutdown() : run.running->StopRipping();
        });
        watch.start(10);
        rip(kMp3, 1);
        EXPECT_LT(sinceStop.elapsed(), 10000);
        EXPECT_TRUE(
            run.lines.contains("Rip again: track 2 (encoder failed), track 3 (not started)"))
            << run.lines.toStdString();
    }
}

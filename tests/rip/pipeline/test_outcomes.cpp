// What a ticked track that fails is called, everywhere the rip speaks of it: the box, the log,
// the completion box's summary and "Rip again"; and that the file an earlier rip left under its
// name stays, also when the user's Stop or the session's end comes while the failure's box is
// open. Then the Stop question, which pauses the rip.
#include "rip/ripfixture.h"

#include "common/product.h"
#include "rip/files/stagedfile.h"
#include "rip/pipeline/windowthreaddialogs.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTimer>

#include <atomic>
#include <thread>

namespace {

constexpr int kBlock = 262144;
constexpr int kTrack = 3 * kBlock;

QString ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A disc of two tracks, WAV into a new folder where TRACK2.WAV is an earlier rip's file.
struct Rip {
    explicit Rip(const QString& format = "optExtractMode1") {
        w.audio.addDrive();
        w.audio.insertDisc(0, {kTrack, kTrack});
        EXPECT_TRUE(w.load());
        folder = temp.path() + "/out";
        QDir().mkpath(folder);
        w.find<QLineEdit>("txtExtractPath").setText(folder);
        w.find<QRadioButton>(format.toLatin1().constData()).setChecked(true);
        QFile earlier(folder + "/TRACK2.WAV");
        EXPECT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier rip") > 0);
        w.tick({1, 2});
    }
    QString log() const {
        const QStringList logs = QDir(folder).entryList({"Mivo rip *.log"});
        return logs.size() == 1 ? ReadText(folder + "/" + logs[0]) : QString();
    }

    FakeWindow w;
    QTemporaryDir temp;
    QString folder;
};

enum class Then { Nothing, Stop, SessionEnds };

} // namespace

// A write failure, a read failure, a track the drive gives no stream for, a patched read of
// track 2, another disc put in and the drive pulled out while track 2 is read, each alone, with
// the user's Stop (Yes) while its box is open, and with the session ending while it is open.
// Rip again is offered unless the listed disc has gone.
TEST(Outcomes, AFailedTrackIsNamedByItsFailureAndNeverReplacesAnEarlierFile) {
    struct Case {
        const char* name;
        const char* outcome;
        QString caption; // of the failure's box
        QString box;     // its text starts so
        std::function<void(Rip&)> arrange;
        QString why; // the log's reason
    };
    const auto atTrack2 = [](Rip& r, bool pulled) { // its first block is read
        r.w.audio.afterGetData = [&r, pulled](DWORD, int call) {
            r.w.audio.drives[0].present = !(pulled && call >= 4);
            r.w.audio.discChanges = call >= 4 ? 1 : 0;
        };
    };
    const Case cases[] = {
        {"write",
         "write failed",
         kProductName,
         "Error in routine : ExtractAudioTrackin module : frmDemo\r\nError #28\r\nNo space left on "
         "device (writing ",
         [](Rip& r) {
             QFile::link("/dev/full", StagedFile::PathWhileWriting(r.folder + "/TRACK2.WAV"));
         },
         {}},
        {"read",
         "read failed",
         kProductName,
         "Error in routine : ExtractAudioTrackin module : frmDemo\r\nError #1012\r\nReading track "
         "2 failed: No CD in drive",
         [](Rip& r) { r.w.audio.failGetDataFrom = 5; },
         {}},
        {"no stream",
         "read failed",
         kProductName,
         "Unable to Create CD Stream!",
         [](Rip& r) { r.w.audio.drives[0].tracks[1].audio = false; },
         {}},
        {"patched",
         "read failed",
         "Read errors",
         "Track 2 could not be read exactly: 3 sectors were patched over and 1 reads failed",
         [](Rip& r) {
             r.w.audio.damage[1] = {3, 1};
         },
         {}},
        {"disc changed", "read failed", "Disc changed",
         "The disc in the drive changed while track 2 was being read, so the rip stopped.",
         [&](Rip& r) { atTrack2(r, false); }, " (the disc in the drive changed)"},
        {"drive pulled", "read failed", "Drive disconnected",
         "The drive was disconnected while track 2 was being read",
         [&](Rip& r) { atTrack2(r, true); }, " (the drive was disconnected)"},
    };
    for (const Case& c : cases)
        for (const Then then : {Then::Nothing, Then::Stop, Then::SessionEnds}) {
            SCOPED_TRACE(std::string(c.name) + " then " + std::to_string(int(then)));
            Rip r;
            c.arrange(r);
            if (then == Then::SessionEnds) { // the box stays open until the session's end
                r.w.dialogs.keepOpen = c.caption;
                r.w.dialogs.whenOpen = [&r] { r.w.form().requestQuit(); };
            } else if (then == Then::Stop) {
                r.w.dialogs.onMessage = [&](const RecordedMessage& m) {
                    if (m.caption == c.caption)
                        PressRipStop();
                    return m.buttons == MessageButtons::YesNo ? MessageResult::Yes
                                                              : MessageResult::Ok;
                };
            }
            const HangGuard guard(c.name);
            r.w.command("IDC_FS_ExtractBtn");
            const QStringList boxes = r.w.messages(c.caption);
            ASSERT_EQ(boxes.size(), 1) << r.w.messages().join(" | ").toStdString();
            EXPECT_TRUE(boxes[0].startsWith(c.box)) << boxes[0].toStdString();
            EXPECT_EQ(ReadWav(r.folder + "/TRACK2.WAV").bytes, "earlier rip");
            // (a disc left with one audio track is ripped whole: its cue sheet is beside it)
            EXPECT_EQ(QDir(r.folder)
                          .entryList({"*.WAV", "*.log", ".*"}, QDir::Files | QDir::Hidden)
                          .size(),
                      3)
                << "TRACK1.WAV, TRACK2.WAV and the log: nothing half-written";
            const QString log = r.log();
            EXPECT_TRUE(log.contains("Track 2\nFile: none\nOutcome: " + QString(c.outcome) + c.why))
                << log.toStdString();
            EXPECT_TRUE(log.contains("\n0 of 2 tracks accurate\n")) << log.toStdString();
            const QStringList done = r.w.messages("Ripping Completed");
            if (then == Then::SessionEnds) {
                EXPECT_EQ(r.w.dialogs.closed, 1) << "the box closed as if answered";
                EXPECT_TRUE(done.isEmpty());
                continue;
            }
            EXPECT_EQ(done, QStringList{"1 Tracks have been Ripped to " + r.folder +
                                        "\r\n0 of 2 tracks accurate\r\nRip again: track 2 (" +
                                        c.outcome + ")"});
            EXPECT_EQ(r.w.dialogs.messages.back().buttons,
                      c.why.isEmpty() ? MessageButtons::OkRipAgain : MessageButtons::Ok);
        }
}

// A track that failed once is ripped again from the completion box: into the same file, read
// most carefully, the earlier file untouched until the new one is whole, and the new log names
// the earlier one.
TEST(Outcomes, RipAgainRipsTheFailedTrackOnceMoreMostCarefully) {
    Rip r;
    r.w.audio.failGetDataFrom = 5;
    QString first; // the first job's log
    r.w.dialogs.onMessage = [&](const RecordedMessage& m) {
        if (m.caption != "Ripping Completed" || !first.isEmpty())
            return MessageResult::Ok;
        first = QDir(r.folder).entryList({"Mivo rip *.log"}).value(0);
        EXPECT_EQ(ReadWav(r.folder + "/TRACK2.WAV").bytes, "earlier rip");
        r.w.audio.failGetDataFrom = 0;
        r.w.audio.clearCalls();
        return MessageResult::RipAgain;
    };
    const HangGuard guard("a rip ripped again");
    r.w.command("IDC_FS_ExtractBtn");
    EXPECT_EQ(r.w.audio.callsStartingWith("BASS_CD_StreamCreate"),
              std::vector<std::string>{"BASS_CD_StreamCreate(0,1," +
                                       std::to_string(kDecodeStreamFlags | BASS_CD_MOSTCAREFUL) +
                                       ")"});
    EXPECT_EQ(ReadWav(r.folder + "/TRACK2.WAV").data().size(), kTrack);
    QStringList logs = QDir(r.folder).entryList({"Mivo rip *.log"});
    ASSERT_EQ(logs.size(), 2);
    logs.removeAll(first);
    const QString again = ReadText(r.folder + "/" + logs.value(0));
    EXPECT_TRUE(
        again.contains("\nRips again: track 2 of the rip logged in \"" + first + "\"\n\nDrive\n"))
        << again.toStdString();
    EXPECT_TRUE(again.contains("Read mode: paranoia on, most careful (no sector patched over)\n"));
}

// The WMA path says a track it cannot open with the library's code, and names its own routine.
TEST(Outcomes, WmaFailuresSayItTheWmaWay) {
    Rip r("optExtractMode2");
    r.w.audio.drives[0].tracks[0].audio = false; // a data track
    r.w.audio.failGetDataFrom = 2;               // the second track's second block
    r.w.command("IDC_FS_ExtractBtn");
    ASSERT_EQ(r.w.dialogs.messages.size(), 3u) << r.w.messages().join(" | ").toStdString();
    const RecordedMessage& noStream = r.w.dialogs.messages[0];
    EXPECT_EQ(noStream.text, "Unable to Create CD Stream!\r\n\r\nError Code : 17");
    EXPECT_EQ(noStream.caption, "Error");
    EXPECT_EQ(noStream.icon, MessageIcon::Critical);
    EXPECT_TRUE(r.w.dialogs.messages[1].text.startsWith(
        "Error in routine : ExtractAudioTrackToWMAin module : frmDemo\r\n"));
    EXPECT_EQ(r.w.dialogs.messages[2].text,
              "0 Tracks have been Ripped to " + r.folder +
                  "\r\n0 of 2 tracks accurate\r\nRip again: track 1 (read failed), track 2 (read "
                  "failed)");
}

// While the Stop question is open nothing is read, the dialog says the rip is paused, and the
// failure the next read meets waits for the answer; No lets the rip go on.
TEST(Outcomes, TheStopQuestionPausesTheRip) {
    Rip r;
    r.w.audio.failGetDataFrom = 2;
    std::atomic<bool> asking = false;
    r.w.audio.onReaderThread = [&](int call) { // the reader is between blocks when Stop comes
        if (call != 1)
            return;
        QMetaObject::invokeMethod(
            qApp, [] { PressRipStop(); }, Qt::QueuedConnection);
        while (!asking)
            std::this_thread::yield();
    };
    int reads = -1;
    std::size_t boxes = 0;
    QString shown;
    r.w.dialogs.keepOpen = "Are you sure?";
    r.w.dialogs.whenOpen = [&] {
        asking = true;
        WaitUntil([] { return false; }, std::chrono::milliseconds(300)); // a reader would read
        reads = r.w.audio.getDataCalls;
        boxes = r.w.dialogs.messages.size();
        shown = RipDialog()->findChild<QLabel*>("lblRip")->text();
        r.w.dialogs.closeOpenMessages(); // No
    };
    const HangGuard guard("the paused rip");
    r.w.command("IDC_FS_ExtractBtn");
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(boxes, 1u) << "no box over the question";
    EXPECT_EQ(shown, "Ripping paused until you answer");
    const QStringList all = r.w.messages();
    ASSERT_EQ(all.size(), 4) << all.join(" | ").toStdString();
    EXPECT_TRUE(all[1].contains("Reading track 1 failed"));
    EXPECT_TRUE(all[3].startsWith("0 Tracks have been Ripped"));
}

// One encoder, four FLAC tracks, Stop while track 2 is at the encoder and track 3 waits: the
// dialog's count of tracks left for the encoders never holds one Stop dropped, and ends at none.
TEST(Outcomes, StopEmptiesTheEncodersQueue) {
    static std::atomic<bool> closing = false; // track 2's encoder ends its file
    static std::atomic<bool> stopped = false; // the closer is a plain function
    closing = stopped = false;
    FakeAudio audio;
    audio.addDrive();
    audio.insertDisc(0, {kTrack, kTrack, kTrack, kTrack});
    JobRun run;
    run.closeFile = [](std::FILE* file) { // track 2's file is whole; it waits for the Stop
        const QString path = QFile::symLinkTarget(QString("/proc/self/fd/%1").arg(fileno(file)));
        if (path.contains(".TRACK2.") && path.endsWith(".flac")) {
            closing = true;
            while (!stopped)
                std::this_thread::yield();
        }
        return std::fclose(file);
    };
    audio.afterGetData = [&](DWORD handle, int) { // track 4's first block: track 3 waits
        if (audio.stream(handle)->track != 3 || stopped)
            return;
        while (!closing)
            std::this_thread::yield();
        run.running->StopRipping();
        stopped = true;
    };
    QTemporaryDir temp;
    RipRequest request;
    request.tracks = {0, 1, 2, 3};
    request.output.format = 5;
    request.output.folder = temp.path();
    request.output.encoders = 1;
    const HangGuard guard("a stopped rip with a full queue");
    EXPECT_EQ(run.rip(audio.library(), request), 2);
    EXPECT_EQ(run.lines.section("\r\n", 2).toStdString(),
              "Rip again: track 3 (not started), track 4 (stopped short)");
    // Shown once every track is read: track 2 may have ended before that.
    const std::vector<int>& left = run.encodersLeft;
    EXPECT_TRUE(left.empty() || left.back() == 0);
    EXPECT_TRUE(std::all_of(left.begin(), left.end(), [](int n) { return n <= 1; }));
}

// A box the window's thread asks for while a worker's box is open opens at once: it never waits
// for the worker, which waits for the window.
TEST(ThreadContracts, TheWindowsOwnBoxNeverWaitsForAWorkersBox) {
    RecordingDialogs recorded;
    WindowThreadDialogs boxes(recorded);
    recorded.onMessage = [&](const RecordedMessage& m) {
        if (m.text == "from the worker")
            boxes.showMessage(nullptr, "from the window", "", MessageIcon::None,
                              MessageButtons::Ok);
        return MessageResult::Ok;
    };
    const HangGuard guard("a box of the window's thread");
    std::atomic<bool> answered = false;
    std::thread worker([&] {
        boxes.showMessage(nullptr, "from the worker", "", MessageIcon::None, MessageButtons::Ok);
        answered = true;
    });
    WaitUntil([&] { return answered.load(); });
    worker.join();
    ASSERT_EQ(recorded.messages.size(), 2u);
    EXPECT_EQ(recorded.messages[1].text, "from the window");
}

// The application quits in the middle of a rip: the job stops, waits for its threads while it
// serves what they ask of the window, and writes its log.
TEST(ThreadContracts, ARipOutlivesTheEndOfItsEventLoop) {
    Rip r;
    r.w.audio.afterGetData = [](DWORD, int call) {
        if (call == 2)
            QCoreApplication::exit();
    };
    {
        const HangGuard guard("a rip whose loop ended");
        r.w.command("IDC_FS_ExtractBtn");
    }
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(); }); // loops run again after this
    QCoreApplication::exec();
    EXPECT_TRUE(r.log().contains("Track 2\nFile: none\nOutcome: not started"))
        << r.log().toStdString();
    EXPECT_EQ(ReadWav(r.folder + "/TRACK2.WAV").bytes, "earlier rip");
}

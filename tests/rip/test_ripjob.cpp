// The rip job through the skin's extract button on the scripted library: files, counts,
// the dialog, stopping, and what every kind of failure leaves on disk and says.
#include "ripfixture.h"

#include "common/product.h"
#include "rip/files/stagedfile.h"
#include "support/testenv.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>

namespace {

constexpr int kBlock = 262144; // what the extraction reads at a time
constexpr int kTrack = 3 * kBlock;

// Presses Stop the moment the rip dialog shows, before its job starts.
class StopWhenShown : public QObject {
public:
    StopWhenShown() { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && watched->objectName() == "frmRipp")
            QTimer::singleShot(0, [] { PressRipStop(); });
        return false;
    }
};

class RipJobTest : public ::testing::Test {
protected:
    // A disc with tracks of the given byte lengths; WAV chosen; the output folder is new.
    void loadDisc(const std::vector<int>& lengths) {
        w.audio.addDrive();
        w.audio.insertDisc(0, lengths);
        ASSERT_TRUE(w.load());
        setFolder(temp.path() + "/Ripped Audio");
        w.find<QRadioButton>("optExtractMode1").setChecked(true);
        w.dialogs.messages.clear();
    }
    void setFolder(const QString& path) {
        folder = path;
        w.find<QLineEdit>("txtExtractPath").setText(folder);
    }
    // The skin's extract button: returns when the rip dialog has closed.
    void extract() { w.command("IDC_FS_ExtractBtn"); }

    QString trackFile(int n) const { return folder + "/TRACK" + QString::number(n) + ".WAV"; }
    QString writingFile(int n) const { return StagedFile::PathWhileWriting(trackFile(n)); }
    WavFile wav(int n) const { return ReadWav(trackFile(n)); }
    QString completion(int count) const {
        return QString::number(count) + " Tracks have been Ripped to " + folder;
    }
    // The first offset at which data differs from what the fake decodes for track, or -1.
    static qsizetype FirstWrongByte(const QByteArray& data, DWORD track) {
        for (qsizetype k = 0; k < data.size(); ++k)
            if (data[k] != FakeAudio::DecodedByte(track, static_cast<QWORD>(k)))
                return k;
        return -1;
    }
    // Door back as it was, window usable.
    void expectEverythingGivenBack(bool locked = false) {
        EXPECT_EQ(w.audio.drives[0].locked, locked);
        EXPECT_TRUE(w.form().isEnabled());
    }

    FakeWindow w;
    QTemporaryDir temp;
    QString folder;
};

} // namespace

// Rows carry their track: files are named after the track, and the row after an unreadable
// track still rips the track it shows.
TEST_F(RipJobTest, TickedRowsBecomeFilesNamedAfterTheirTrack) {
    loadDisc({kTrack, 0, kTrack + 100, 31752000});
    w.tick({2, 3});
    extract();
    EXPECT_FALSE(QFile::exists(trackFile(1)));
    wav(3).expectCdHeader(kTrack + 100);
    EXPECT_EQ(FirstWrongByte(wav(3).data(), 2), -1);
    wav(4).expectCdHeader(31752000); // three minutes, byte for byte
    EXPECT_EQ(FirstWrongByte(wav(4).data(), 3), -1);
    EXPECT_EQ(FirstLines(w.messages("Ripping Completed")), QStringList{completion(2)});
    expectEverythingGivenBack();
}

// While it runs the door is locked, the window takes no command, and the dialog says where
// it is; afterwards the door is as it was.
TEST_F(RipJobTest, TheDialogShowsThePathTheTrackAndTheProgress) {
    loadDisc({kTrack, 5 * kBlock});
    w.tick({2});
    QStringList shown;
    w.audio.afterGetData = [&](DWORD, int call) {
        if (QWidget* dialog = RipDialog(); dialog && call == 2)
            shown << dialog->findChild<QLabel*>("lblRippingPath")->text()
                  << dialog->findChild<QLabel*>("lblRip")->text()
                  << QString::number(dialog->findChild<QProgressBar*>("prgRipper")->value());
        EXPECT_TRUE(w.audio.drives[0].locked);
        EXPECT_FALSE(w.form().isEnabled());
    };
    extract();
    EXPECT_EQ(shown, QStringList({"Ripping Path:" + folder, "Ripping Track Number:2", "20"}));
    expectEverythingGivenBack();

    // A door the user locked stays locked after a rip, as the skin's indicator says.
    w.command("IDC_FS_lock");
    extract();
    expectEverythingGivenBack(true);
    EXPECT_EQ(w.find<Flash>("Flash").GetVariable("_root.lock"), "1");
}

TEST_F(RipJobTest, StopBeforeTheStartOrInTheMiddleAndANoAnswer) {
    loadDisc({kTrack, kTrack, kTrack});
    w.tick({1, 2, 3});
    // A stop in the dialog's first moment: nothing is extracted.
    {
        StopWhenShown stop;
        extract();
    }
    EXPECT_TRUE(w.audio.callsStartingWith("BASS_CD_StreamCreate").empty());
    EXPECT_EQ(FirstLines(w.messages("Ripping Completed")), QStringList{completion(0)});

    // The frame's close box, Escape and Stop ask the same question; No lets the job go on. A
    // stop keeps a valid, shorter file of what was read and ends the job.
    w.dialogs.messages.clear();
    w.dialogs.answers = {MessageResult::No, MessageResult::No, MessageResult::Yes};
    w.audio.afterGetData = [&](DWORD handle, int) {
        FakeStream* s = w.audio.stream(handle);
        QWidget* dialog = RipDialog();
        if (dialog && s->track == 0 && s->position == kBlock)
            dialog->close();
        else if (dialog && s->track == 1 && s->position == kBlock)
            QMetaObject::invokeMethod(dialog, "reject");
        else if (dialog && s->track == 1 && s->position == 2 * kBlock)
            PressRipStop();
    };
    extract();
    wav(1).expectCdHeader(kTrack);
    wav(2).expectCdHeader(2 * kBlock);
    EXPECT_EQ(FirstWrongByte(wav(2).data(), 1), -1);
    EXPECT_FALSE(QFile::exists(trackFile(3)));
    EXPECT_EQ(w.messages("Are you sure?"),
              QStringList(3, "Are you sure that you want to cancel the ripping process?"));
    // The shorter file is named as a stopped track; the track Stop left untouched as not started.
    EXPECT_EQ(w.messages("Ripping Completed"),
              QStringList{completion(1) + "\r\n0 of 3 tracks accurate\r\nRip again: track 2 "
                                          "(stopped short), track 3 (not started)"});
    expectEverythingGivenBack();
}

// (A full disk is in the table of outcomes.)
TEST_F(RipJobTest, AFileThatCannotTakeItsSizesCountsAsFailed) {
    loadDisc({kTrack});
    QDir().mkpath(folder);
    QFile::link("/dev/null", writingFile(1)); // takes the audio, but never the header sizes
    w.tick({1});
    extract();
    const QStringList boxes = w.messages(kProductName);
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].contains("(writing the sizes into " + trackFile(1) + ")"));
    EXPECT_EQ(FirstLines(w.messages("Ripping Completed")), QStringList{completion(0)});
}

// The folder is made whole and checked once: a folder that cannot be used is said once, and
// no track is attempted.
TEST_F(RipJobTest, TheOutputFolderIsMadeAndCheckedOncePerJob) {
    loadDisc({kTrack, kTrack});
    w.tick({1, 2});
    setFolder(temp.path() + "/two/levels");
    extract();
    wav(1).expectCdHeader(kTrack);

    const QString file = temp.path() + "/a file";
    QFile(file).open(QIODevice::WriteOnly);
    for (const QString& bad : {file + "/Ripped Audio", QString("  ")}) {
        w.dialogs.messages.clear();
        w.audio.clearCalls();
        setFolder(bad);
        extract();
        const QStringList boxes = w.messages("Output folder");
        ASSERT_EQ(boxes.size(), 1) << bad.toStdString();
        EXPECT_TRUE(boxes[0].startsWith("Cannot rip into the folder \"" + bad + "\": "));
        EXPECT_TRUE(w.audio.callsStartingWith("BASS_CD_StreamCreate").empty());
    }
}

// Folders the job made for a track that then failed go with the job; a folder that was there
// before, or that holds a file, stays. "~/…" is the home folder, and the box names it.
TEST_F(RipJobTest, FoldersAreThoseTheUserMeansAndFailedTracksLeaveNone) {
    loadDisc({kTrack, kTrack, kTrack});
    w.audio.drives[0].tracks[1].audio = false;
    w.audio.drives[0].tracks[2].audio = false;
    const ScopedEnv home("HOME", temp.path().toStdString());
    setFolder("~/rips");
    folder = temp.path() + "/rips";
    w.find<QLineEdit>("txtFileNames").setText("Disc/{nn}/x");
    QDir().mkpath(folder + "/Disc/03");
    w.tick({1, 2, 3});
    extract();
    ReadWav(folder + "/Disc/01/x.WAV").expectCdHeader(kTrack);
    EXPECT_EQ(QDir(folder + "/Disc").entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList({"01", "03"}));
    EXPECT_EQ(FirstLines(w.messages("Ripping Completed")), QStringList{completion(1)});
}

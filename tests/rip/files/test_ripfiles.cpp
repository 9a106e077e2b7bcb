// What a rip leaves in its folder: the clean-up before a rip removes only what an ended player
// made there, judged by that player's lock and never through a link, and no log replaces another.
#include "rip/files/stagedfile.h"
#include "rip/pipeline/ripverification.h"
#include "support/recordingdialogs.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Marks of players: all digits, as the process ids of players that do not run were.
const QString kEnded = "0000000099999991";
const QString kRunning = "0000000099999992";
const QString kUnknown = "0000000099999993";
const QString kStrange = "0000000099999994"; // its spool holds a file Mivo does not make

enum class Kind { File, Link, FolderLink };

// A file, or a link to the file or to the folder target.
void Make(const QString& path, Kind kind, const QString& target) {
    QDir().mkpath(QFileInfo(path).path());
    if (kind != Kind::File) {
        const QString to = kind == Kind::Link ? target + "/music.flac" : target;
        ASSERT_TRUE(QFile::link(to, path)) << path.toStdString();
        return;
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("audio") == 5) << path.toStdString();
}

// Every entry below folder, links not followed, relative and sorted.
QStringList Entries(const QString& folder) {
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << QDir(folder).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

} // namespace

TEST(RipFiles, TheCleanUpRemovesOnlyWhatAnEndedPlayerMade) {
    QTemporaryDir temp;
    const QString out = temp.filePath("out");
    const QString elsewhere = temp.filePath("elsewhere");
    for (const char* file : {"music.flac", "photos/cat.jpg", ".hidden",
                             ".in.mivo-"
                             "0000000099999991.mp3"})
        Make(elsewhere + '/' + file, Kind::File, {});
    const QStringList before = Entries(elsewhere);
    const struct {
        QString path; // in the output folder
        Kind kind;
        bool stays;
    } cases[] = {
        {".mivo-spool-0000000099999990", Kind::FolderLink, true}, // a spool that is a link
        {".mivo-spool-" + kEnded + "/lock", Kind::File, false},
        {".mivo-spool-" + kEnded + "/TRACK2.wav", Kind::File, false},
        {".TRACK1.mivo-" + kEnded + ".WAV", Kind::File, false},
        {"Band/Record/.02 Two.mivo-" + kEnded + ".mp3", Kind::File, false}, // a pattern's folder
        {"Band/Record/02 Two.mp3", Kind::File, true},
        {"Band/notes.mivo-" + kEnded + ".txt", Kind::File, true},  // not a name Mivo makes
        {"a/b/c/.deep.mivo-" + kEnded + ".mp3", Kind::File, true}, // deeper than patterns go
        {".TRACK3.mivo-" + kEnded + ".WAV", Kind::Link, true},     // a link where a file would be
        {"Linked", Kind::FolderLink, true},                        // a folder elsewhere
        {".mivo-spool-" + kRunning + "/lock", Kind::File, true},   // its player holds the lock
        {".mivo-spool-" + kRunning + "/TRACK5.wav", Kind::File, true},
        {".TRACK5.mivo-" + kRunning + ".mp3", Kind::File, true},
        {".TRACK6.mivo-" + kUnknown + ".WAV", Kind::File, true}, // no lock of its player
        {".mivo-spool-" + kStrange + "/lock", Kind::File, true},
        {".mivo-spool-" + kStrange + "/notes.txt", Kind::File, true},
        {".mivo-spool-" + kStrange + "/TRACK7.wav", Kind::File, false},
    };
    QStringList staying = {"Band",
                           "Band/Record",
                           "a",
                           "a/b",
                           "a/b/c",
                           ".mivo-spool-" + kRunning,
                           ".mivo-spool-" + kStrange};
    for (const auto& c : cases) {
        Make(out + '/' + c.path, c.kind, elsewhere);
        if (c.stays)
            staying << c.path;
    }
    const int held =
        ::open(QFile::encodeName(out + "/.mivo-spool-" + kRunning + "/lock"), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0); // another open file of the lock, as another player's

    const QStringList notes = StagedFile::RemoveLeftovers(out, 2);
    ::close(held);
    staying.sort();
    EXPECT_EQ(Entries(out), staying);
    EXPECT_EQ(Entries(elsewhere), before);
    QFile flac(elsewhere + "/music.flac");
    EXPECT_TRUE(flac.open(QIODevice::ReadOnly) && flac.readAll() == "audio");
    QStringList expectedNotes = {
        ".mivo-spool-0000000099999990 is a link: left alone",
        ".TRACK3.mivo-" + kEnded + ".WAV is a link: left alone",
        ".TRACK6.mivo-" + kUnknown +
            ".WAV left alone: no lock tells whether the Mivo that wrote it still runs",
        "removed .TRACK1.mivo-" + kEnded + ".WAV, left by a Mivo that ended",
        "removed Band/Record/.02 Two.mivo-" + kEnded + ".mp3, left by a Mivo that ended",
        "removed .mivo-spool-" + kEnded + ", left by a Mivo that ended",
        ".mivo-spool-" + kStrange + "/notes.txt is not Mivo's: left alone"};
    QStringList sortedNotes = notes;
    sortedNotes.sort();
    expectedNotes.sort();
    EXPECT_EQ(sortedNotes, expectedNotes);
}

// Two rips that start in the same second, from two windows, each keep their own log, and a log
// already there is never replaced.
TEST(RipFiles, NoLogReplacesAnother) {
    QTemporaryDir folder;
    const QDateTime now = QDateTime::currentDateTime();
    QStringList earlier;
    for (int second = 0; second < 3; ++second) {
        earlier << folder.filePath(RipLogFileName(now.addSecs(second)));
        QFile log(earlier.last());
        ASSERT_TRUE(log.open(QIODevice::WriteOnly) && log.write("earlier") == 7);
    }
    RecordingDialogs dialogs;
    for (int window = 0; window < 2; ++window) {
        RipVerification::Job job;
        job.folder = folder.path();
        RipVerification(job).finish(false, dialogs, nullptr);
    }
    EXPECT_TRUE(dialogs.messages.empty());
    for (const QString& log : earlier) {
        QFile file(log);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly) && file.readAll() == "earlier");
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 5);
}

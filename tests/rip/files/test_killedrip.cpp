// A player ended in the middle of a rip. Killed, it leaves the file an earlier rip made under
// the track's name untouched, and the next rip into that folder removes what it left behind.
// Ended by the session (SIGTERM), it stops as after Stop: the shorter file is valid and final,
// nothing is left behind, and the player closes.
#include "platform/desktop/terminationwatcher.h"
#include "rip/ripfixture.h"
#include "support/childprogram.h"
#include "support/testimages.h"

#include <QCoreApplication>
#include <QDir>

#include <csignal>
#include <cstdlib>

namespace {
constexpr const char* kFolder = "MIVO_TEST_RIP_INTO";
constexpr const char* kImage = "MIVO_TEST_RIP_IMAGE";

void RipAsWav(RealWindow& w, const QString& image, const QString& folder, int row) {
    ASSERT_TRUE(w.start({image}));
    w.find<QLineEdit>("txtExtractPath").setText(folder);
    w.find<QRadioButton>("optExtractMode1").setChecked(true);
    w.tick({row});
    w.command("IDC_FS_ExtractBtn");
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}
} // namespace

// The player that gets ended: the test below runs it in a process of its own.
TEST(EndedRip, ChildRipsUntilEnded) {
    if (!std::getenv(kFolder))
        GTEST_SKIP() << "runs only as the player that the test below ends";
    RealWindow w;
    TerminationWatcher session;
    QObject::connect(&session, &TerminationWatcher::terminationRequested,
                     [&w] { w.form().requestQuit(); });
    RipAsWav(w, qEnvironmentVariable(kImage), qEnvironmentVariable(kFolder), 1);
    EXPECT_FALSE(w.form().isVisible()) << "the window closed after the rip stopped";
}

TEST(EndedRip, KilledOrEndedByTheSessionNoFileIsDamaged) {
    QTemporaryDir temp;
    const QString app = QCoreApplication::applicationDirPath();
    ChildProgram discgen(app + "/mivo-discgen", {"long", temp.path(), "5", "1", "long"});
    ASSERT_TRUE(discgen.waitForEnd(std::chrono::seconds(60)) && discgen.exitCode() == 0);
    for (const bool killed : {true, false}) {
        SCOPED_TRACE(killed ? "killed" : "SIGTERM");
        const QString folder = temp.filePath(killed ? "killed" : "ended");
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString track1 = folder + "/TRACK1.WAV";
        WriteFile(track1, "an earlier rip");

        ChildProgram child(
            QCoreApplication::applicationFilePath(),
            {"--gtest_filter=EndedRip.ChildRipsUntilEnded"},
            {{kFolder, folder.toStdString()}, {kImage, temp.filePath("long.cue").toStdString()}});
        QString writing; // the hidden file carries the child's mark
        ASSERT_TRUE(WaitUntil([&] {
            const QStringList found =
                QDir(folder).entryList({".TRACK1.mivo-*.WAV"}, QDir::Hidden | QDir::Files);
            writing = found.isEmpty() ? QString() : folder + '/' + found[0];
            return !writing.isEmpty() && QFileInfo(writing).size() > 4 * 1024 * 1024;
        }));
        child.signal(killed ? SIGKILL : SIGTERM);
        ASSERT_TRUE(child.waitForEnd(std::chrono::seconds(30)));

        if (killed) {
            EXPECT_EQ(ReadWav(track1).bytes, "an earlier rip");
            EXPECT_TRUE(QFile::exists(writing)) << "the killed player's file stays until a rip";
            RealWindow next;
            RipAsWav(next, TestImage("nocdtext.cue"), folder, 2);
            EXPECT_EQ(QDir(folder).entryList({"TRACK*", ".*"}, QDir::AllEntries | QDir::Hidden |
                                                                   QDir::NoDotAndDotDot),
                      QStringList({"TRACK1.WAV", "TRACK2.WAV"}));
            EXPECT_EQ(ReadWav(track1).bytes, "an earlier rip");
        } else {
            EXPECT_TRUE(child.exitedNormally());
            EXPECT_EQ(child.exitCode(), 0);
            const WavFile wav = ReadWav(track1);
            ASSERT_GT(wav.bytes.size(), 4 * 1024 * 1024);
            wav.expectCdHeader(static_cast<quint32>(wav.bytes.size() - 44));
            EXPECT_EQ(QDir(folder).entryList({"TRACK*", ".*"}, QDir::AllEntries | QDir::Hidden |
                                                                   QDir::NoDotAndDotDot),
                      QStringList({"TRACK1.WAV"}));
        }
    }
}

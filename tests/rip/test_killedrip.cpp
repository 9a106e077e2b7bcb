// A player killed in the middle of a rip: the file an earlier rip left under the track's name is
// untouched, and the next rip into that folder removes what the killed one left behind.
#include "rip/stagedfile.h"
#include "ripfixture.h"
#include "support/testimages.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

#include <cstdlib>

namespace {
constexpr const char* kFolder = "MIVO_TEST_RIP_INTO";
constexpr const char* kImage = "MIVO_TEST_RIP_IMAGE";

void RipFirstTrackAsWav(RealWindow& w, const QString& image, const QString& folder, int row) {
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

// The player that gets killed: the test below runs it in a process of its own.
TEST(KilledRip, ChildRipsUntilKilled) {
    if (!std::getenv(kFolder))
        GTEST_SKIP() << "runs only as the player that the test below kills";
    RealWindow w;
    RipFirstTrackAsWav(w, qEnvironmentVariable(kImage), qEnvironmentVariable(kFolder), 1);
}

TEST(KilledRip, EarlierFileSurvivesAndTheNextRipCleansUp) {
    QTemporaryDir temp;
    const QString app = QCoreApplication::applicationDirPath();
    ASSERT_EQ(QProcess::execute(app + "/mivo-discgen", {"long", temp.path(), "5", "1", "long"}), 0);
    const QString folder = temp.filePath("out");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString track1 = folder + "/TRACK1.WAV";
    WriteFile(track1, "an earlier rip");

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kFolder, folder);
    env.insert(kImage, temp.filePath("long.cue"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
                {"--gtest_filter=KilledRip.ChildRipsUntilKilled"});
    ASSERT_TRUE(child.waitForStarted());
    const QString writing = folder + "/.TRACK1.mivo-" + QString::number(child.processId()) + ".WAV";
    ASSERT_TRUE(WaitUntil([&] { return QFileInfo(writing).size() > 4 * 1024 * 1024; }));
    child.kill();
    child.waitForFinished();

    EXPECT_EQ(ReadWav(track1).bytes, "an earlier rip");
    EXPECT_TRUE(QFile::exists(writing)) << "the killed player's file stays until the next rip";
    RealWindow next;
    RipFirstTrackAsWav(next, TestImage("nocdtext.cue"), folder, 2);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden),
              QStringList({"TRACK1.WAV", "TRACK2.WAV"}));
    EXPECT_EQ(ReadWav(track1).bytes, "an earlier rip");
}

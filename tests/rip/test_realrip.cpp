// Ripping to WAV on the real library: a generated disc image as the only drive, the real rip
// dialog, and the files compared with the image's own audio.

#include "ripfixture.h"
#include "support/testimages.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <vector>

namespace {

constexpr qint64 kSectorBytes = 2352;

class RealRip : public ::testing::Test {
protected:
    void SetUp() override {
        // The generator's manifest: "track <n> <first sector> <sectors>" per line.
        QFile manifest(TestImage("nocdtext.manifest"));
        ASSERT_TRUE(manifest.open(QIODevice::ReadOnly | QIODevice::Text));
        for (const QByteArray& line : manifest.readAll().split('\n'))
            if (const QList<QByteArray> f = line.simplified().split(' '); f.size() == 4)
                tracks.push_back({f[2].toLongLong(), f[3].toLongLong()});
        QFile bin(TestImage("nocdtext.bin"));
        ASSERT_TRUE(bin.open(QIODevice::ReadOnly));
        binBytes = bin.readAll();

        ASSERT_TRUE(w.start({TestImage("nocdtext.cue")}));
        ASSERT_EQ(w.list().topLevelItemCount(), static_cast<int>(tracks.size()));
        folder = temp.path() + "/Ripped Audio";
        w.find<QLineEdit>("txtExtractPath").setText(folder);
        w.find<QRadioButton>("optExtractMode1").setChecked(true);
    }
    QString trackFile(int n) const { return folder + "/TRACK" + QString::number(n) + ".WAV"; }
    // The image's audio of a 1-based track, as the bin holds it.
    QByteArray pcm(int n) const {
        const auto& [start, sectors] = tracks.at(n - 1);
        return binBytes.mid(start * kSectorBytes, sectors * kSectorBytes);
    }

    RealWindow w;
    std::vector<std::pair<qint64, qint64>> tracks;
    QByteArray binBytes;
    QTemporaryDir temp;
    QString folder;
};

} // namespace

// An older, longer file of the same name is replaced whole.
TEST_F(RealRip, EveryTrackBecomesAWavOfTheImagesAudio) {
    QDir().mkpath(folder);
    QFile old(trackFile(1));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(pcm(1).size() * 3, '\x5a'));
    old.close();
    w.tick({1, 2, 3});
    w.command("IDC_FS_ExtractBtn");

    EXPECT_EQ(w.messages(), QStringList{"3 Tracks have been Ripped to " + folder});
    for (int n = 1; n <= 3; ++n) {
        const WavFile file = ReadWav(trackFile(n));
        file.expectCdHeader(static_cast<quint32>(pcm(n).size()));
        EXPECT_TRUE(file.data() == pcm(n)) << n;
    }
    EXPECT_TRUE(w.form().isEnabled());
}

TEST_F(RealRip, AStopInTheMiddleLeavesAValidShorterFile) {
    w.tick({3});
    // The extraction lets events run after every block: once three blocks are on disk, Stop.
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (QFileInfo(trackFile(3)).size() >= 44 + 3 * 20000) {
            watcher.stop();
            PressRipStop();
        }
    });
    watcher.start();
    w.command("IDC_FS_ExtractBtn");

    const WavFile file = ReadWav(trackFile(3));
    const qsizetype written = file.bytes.size() - 44;
    ASSERT_GT(written, 0);
    EXPECT_LT(written, pcm(3).size());
    file.expectCdHeader(static_cast<quint32>(written));
    EXPECT_TRUE(file.data() == pcm(3).left(written));
    EXPECT_EQ(w.messages().last(), "0 Tracks have been Ripped to " + folder);
}

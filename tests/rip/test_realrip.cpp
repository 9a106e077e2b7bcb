// Ripping to WAV on the real library: a generated disc image as the only drive, the real rip
// dialog, and the files compared with the image's own audio.

#include "ripfixture.h"
#include "support/testimages.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace {

class RealRip : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(pcm.size(), 3u);
        ASSERT_TRUE(w.start({TestImage("nocdtext.cue")}));
        w.find<QLineEdit>("txtExtractPath").setText(folder);
        w.find<QRadioButton>("optExtractMode1").setChecked(true);
    }
    QString trackFile(int n) const { return folder + "/TRACK" + QString::number(n) + ".WAV"; }

    const std::vector<QByteArray> pcm = TrackAudio("nocdtext.manifest", "nocdtext.bin");
    RealWindow w;
    QTemporaryDir temp;
    const QString folder = temp.path() + "/Ripped Audio";
};

} // namespace

// An older, longer file of the same name is replaced whole.
TEST_F(RealRip, EveryTrackBecomesAWavOfTheImagesAudio) {
    QDir().mkpath(folder);
    QFile old(trackFile(1));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(pcm[0].size() * 3, '\x5a'));
    old.close();
    w.tick({1, 2, 3});
    w.command("IDC_FS_ExtractBtn");

    EXPECT_EQ(w.messages(), QStringList{"3 Tracks have been Ripped to " + folder});
    for (int n = 1; n <= 3; ++n) {
        const WavFile file = ReadWav(trackFile(n));
        file.expectCdHeader(static_cast<quint32>(pcm[n - 1].size()));
        EXPECT_TRUE(file.data() == pcm[n - 1]) << n;
    }
    EXPECT_TRUE(w.form().isEnabled());
}

// The extraction lets events run after every block: a Stop pressed then leaves what was read.
TEST_F(RealRip, AStopInTheMiddleLeavesAValidShorterFile) {
    w.tick({3});
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
    EXPECT_LT(written, pcm[2].size());
    file.expectCdHeader(static_cast<quint32>(written));
    EXPECT_TRUE(file.data() == pcm[2].left(written));
    EXPECT_EQ(w.messages().last(), "0 Tracks have been Ripped to " + folder);
}

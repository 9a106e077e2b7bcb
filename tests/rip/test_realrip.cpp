// Ripping to WAV on the real library: a generated disc image as the only drive, the real rip
// dialog, and the files compared with the image's own audio.

#include "ripfixture.h"
#include "support/realmainwindow.h"
#include "support/testimages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include <vector>

namespace {

constexpr qint64 kSectorBytes = 2352;

struct ManifestTrack {
    qint64 start = 0; // sectors from the start of the bin
    qint64 sectors = 0;
};

std::vector<ManifestTrack> ReadManifest(const QString& path) {
    QFile file(path);
    std::vector<ManifestTrack> tracks;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return tracks;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 4)
            tracks.push_back({fields[2].toLongLong(), fields[3].toLongLong()});
    }
    return tracks;
}

class RealRip : public ::testing::Test {
protected:
    void SetUp() override {
        const QString image = TestImage("nocdtext.cue");
        ASSERT_TRUE(QFileInfo::exists(image)) << image.toStdString();
        tracks = ReadManifest(TestImage("nocdtext.manifest"));
        QFile bin(TestImage("nocdtext.bin"));
        ASSERT_TRUE(bin.open(QIODevice::ReadOnly));
        binBytes = bin.readAll();

        ASSERT_TRUE(window.start({image}));
        form = &window.form();
        ASSERT_EQ(form->lsTracks->topLevelItemCount(), static_cast<int>(tracks.size()));
        folder = temp.path() + "/Ripped Audio";
        form->txtExtractPath->setText(folder);
        form->optExtractMode[1]->setChecked(true);
        dialogs.messages.clear();
    }
    void tickAll() {
        for (int i = 0; i < form->lsTracks->topLevelItemCount(); ++i)
            form->lsTracks->topLevelItem(i)->setCheckState(0, Qt::Checked);
    }
    void extract() { form->Flash_FSCommand(QStringLiteral("IDC_FS_ExtractBtn"), QString()); }
    QString trackFile(int n) const { return folder + "/TRACK" + QString::number(n) + ".WAV"; }
    // The image's audio of a 1-based track, as the bin holds it.
    QByteArray pcm(int n) const {
        const ManifestTrack& t = tracks.at(n - 1);
        return binBytes.mid(t.start * kSectorBytes, t.sectors * kSectorBytes);
    }
    QStringList texts() const {
        QStringList all;
        for (const RecordedMessage& m : dialogs.messages)
            all << m.text;
        return all;
    }

    RealMainWindow window;
    RecordingDialogs& dialogs = window.dialogs;
    frmMain* form = nullptr;
    std::vector<ManifestTrack> tracks;
    QByteArray binBytes;
    QTemporaryDir temp;
    QString folder;
};

TEST_F(RealRip, EveryTrackBecomesAWavOfTheImagesAudio) {
    tickAll();
    extract();

    ASSERT_EQ(texts(), QStringList{QString::number(tracks.size()) + " Tracks have been Ripped to " +
                                   folder});
    for (int n = 1; n <= static_cast<int>(tracks.size()); ++n) {
        SCOPED_TRACE(n);
        const WavFile file = ReadWav(trackFile(n));
        file.expectCdHeader(static_cast<quint32>(pcm(n).size()));
        EXPECT_TRUE(file.data() == pcm(n));
    }
    EXPECT_TRUE(form->isEnabled());
    EXPECT_FALSE(form->cd().BASS_CD_DoorIsLocked(static_cast<DWORD>(form->lDrive)));
}

TEST_F(RealRip, AStopInTheMiddleLeavesAValidShorterFile) {
    form->lsTracks->topLevelItem(2)->setCheckState(0, Qt::Checked);
    // The extraction lets events run after every block: once three blocks are on disk, Stop.
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (form->ripDialog != nullptr && QFileInfo(trackFile(3)).size() >= 44 + 3 * 20000) {
            watcher.stop();
            form->ripDialog->cmdStop_Click();
        }
    });
    watcher.start();
    extract();

    const WavFile file = ReadWav(trackFile(3));
    const qsizetype written = file.bytes.size() - 44;
    ASSERT_GT(written, 0);
    EXPECT_LT(written, pcm(3).size());
    file.expectCdHeader(static_cast<quint32>(written));
    EXPECT_TRUE(file.data() == pcm(3).left(written));
    EXPECT_EQ(texts().last(), "0 Tracks have been Ripped to " + folder);
}

TEST_F(RealRip, AnExistingLongerFileIsReplacedCleanly) {
    QDir().mkpath(folder);
    QFile old(trackFile(1));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(pcm(1).size() * 3, '\x5a'));
    old.close();
    form->lsTracks->topLevelItem(0)->setCheckState(0, Qt::Checked);
    extract();

    const WavFile file = ReadWav(trackFile(1));
    file.expectCdHeader(static_cast<quint32>(pcm(1).size()));
    EXPECT_TRUE(file.data() == pcm(1));
}

} // namespace

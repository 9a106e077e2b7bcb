// The player on the real library: disc images as virtual drives, sound written
// by SDL's "disk" driver to a file that the tests read back and compare with
// the image's own samples.
#include "playback/player.h"
#include "support/testimages.h"
#include "support/windowtest.h"

#include <QAbstractSlider>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr qint64 kSector = 2352;
constexpr qint64 kSecondBytes = 176400;

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Sector s of an image's bin (tracks follow each other without gaps).
QByteArray SectorOf(const QByteArray& bin, qint64 s) {
    return bin.mid(s * kSector, kSector);
}

QByteArray WithoutRightChannel(QByteArray samples) {
    for (qsizetype i = 2; i + 1 < samples.size(); i += 4)
        samples[i] = samples[i + 1] = 0;
    return samples;
}

qint16 SampleAt(const QByteArray& pcm, qsizetype offset) {
    qint16 value;
    std::memcpy(&value, pcm.constData() + offset, 2);
    return value;
}

// The largest sample (either channel) of pcm[from, to).
int Peak(const QByteArray& pcm, qsizetype from, qsizetype to) {
    int peak = 0;
    for (qsizetype i = std::max<qsizetype>(from, 0) & ~qsizetype(1); i + 1 < to; i += 2)
        peak = std::max(peak, std::abs(int(SampleAt(pcm, i))));
    return peak;
}

bool AllZero(const QByteArray& bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == 0; });
}

class RealPlayback : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_output = m_dir.filePath("output.raw");
        m_env.emplace_back(std::make_unique<ScopedEnv>("SDL_AUDIODRIVER", "disk"));
        m_env.emplace_back(
            std::make_unique<ScopedEnv>("SDL_DISKAUDIOFILE", m_output.toStdString()));
        // Faster than real time: slides and track ends follow the output's clock.
        m_env.emplace_back(std::make_unique<ScopedEnv>("SDL_DISKAUDIODELAY", "1"));
    }

    void TearDown() override {
        m_window.reset(); // closes the window and frees the library before the output goes
        m_env.clear();
    }

    // Starts the window on one disc image; returns the image's bin.
    QByteArray start(const QString& sheet, const QString& bin) {
        m_window = std::make_unique<RealWindow>();
        EXPECT_TRUE(m_window->start({sheet}));
        EXPECT_TRUE(dialogs().messages.empty()) << dialogs().messages.front().text.toStdString();
        return ReadFile(bin);
    }
    QByteArray startDemo() {
        const QString discs = QCoreApplication::applicationDirPath() + "/discs/";
        return start(discs + "demo.cue", discs + "demo.bin");
    }
    QByteArray startTestDisc(const QString& name) {
        return start(TestImage(name + ".cue"), TestImage(name + ".bin"));
    }

    RealWindow& window() { return *m_window; }
    RecordingDialogs& dialogs() { return m_window->dialogs; }
    BassCore& core() { return m_window->audio->library().core; }
    DWORD stream() { return m_window->find<Player>().currentStream(); }
    void playRow(int position) {
        QTreeWidget& list = m_window->list();
        list.setCurrentItem(list.topLevelItem(position - 1));
        emit list.itemDoubleClicked(list.currentItem(), 0);
    }
    void press(int button) {
        m_window->find<QPushButton>(QStringLiteral("cmdButton_%1").arg(button).toLatin1()).click();
    }
    int selectedRow() { return m_window->selectedRow(); }
    QByteArray output() const { return ReadFile(m_output); }
    bool outputContains(const QByteArray& samples) const { return output().contains(samples); }
    qint64 outputSize() const { return QFile(m_output).size(); }
    QWORD position() { return core().BASS_ChannelGetPosition(stream()); }

private:
    QTemporaryDir m_dir;
    QString m_output;
    std::vector<std::unique_ptr<ScopedEnv>> m_env;
    std::unique_ptr<RealWindow> m_window;
};

} // namespace

TEST_F(RealPlayback, FadeOutReachesSilenceAndTheNextTrackStarts) {
    const QByteArray bin = startDemo();
    const int secondTrackStart = 34 * 75 + 61; // the demo sheet's INDEX 01 of track 2
    playRow(1);
    const DWORD first = stream();
    ASSERT_TRUE(WaitUntil([&] { return position() > QWORD(kSecondBytes); }));
    press(8);
    ASSERT_TRUE(WaitUntil([&] { return stream() != first; }));
    EXPECT_EQ(selectedRow(), 2);
    DWORD volume = 0;
    int pan = 1;
    core().BASS_ChannelGetAttributes(stream(), nullptr, &volume, &pan);
    EXPECT_EQ(volume, 100u) << "the next track plays at the slider's volume";
    EXPECT_EQ(pan, 0);

    const QByteArray nextTrack = SectorOf(bin, secondTrackStart + 20);
    ASSERT_TRUE(WaitUntil([&] { return outputContains(nextTrack); }));
    const QByteArray pcm = output();
    const qsizetype nextStart = pcm.indexOf(nextTrack) - 20 * kSector;
    // Back from the next track over the silence to where the fade became inaudible.
    qsizetype fadeEnd = nextStart;
    while (fadeEnd > 0 && Peak(pcm, fadeEnd - 4, fadeEnd) == 0)
        fadeEnd -= 4;
    ASSERT_GT(fadeEnd, 5 * kSecondBytes);
    const int early = Peak(pcm, fadeEnd - 5 * kSecondBytes, fadeEnd - 4 * kSecondBytes);
    const int late = Peak(pcm, fadeEnd - kSecondBytes / 2, fadeEnd);
    EXPECT_GT(early, 1000);
    EXPECT_LT(late * 4, early) << "the volume slid down over five seconds";
    EXPECT_LT(Peak(pcm, fadeEnd - kSecondBytes / 20, fadeEnd), 400);
}

TEST_F(RealPlayback, OpeningTheDoorWhilePlayingGivesOneErrorAndSilence) {
    startDemo();
    playRow(1);
    ASSERT_TRUE(WaitUntil([&] { return position() > QWORD(kSecondBytes); }));
    window().audio->library().cd.BASS_CD_Door(0, BASS_CD_DOOR_OPEN);
    ASSERT_TRUE(WaitUntil([&] { return !dialogs().messages.empty(); }));
    const qint64 silenceFrom = outputSize() + 64 * 1024;
    const DWORD failed = stream();
    ASSERT_TRUE(WaitUntil([&] { return outputSize() > silenceFrom + 2 * kSecondBytes; }));

    ASSERT_EQ(dialogs().messages.size(), 1u);
    EXPECT_EQ(dialogs().messages[0].text, "There was an error playing back an Audio CD stream. "
                                          "Most probable cause is the CD drive was opened.");
    EXPECT_EQ(stream(), failed) << "no other track was started";
    EXPECT_EQ(core().BASS_ChannelIsActive(failed), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(window().find<QSlider>("SliderPosition").value(), 0);
    EXPECT_TRUE(AllZero(output().mid(silenceFrom, kSecondBytes)));
}

TEST_F(RealPlayback, BalanceFullyLeftSilencesTheRightChannelAlsoOnTheNextTrack) {
    const QByteArray bin = startTestDisc("nocdtext");
    window().find<QSlider>("SliderBalance").triggerAction(QAbstractSlider::SliderToMinimum);
    playRow(2);
    const DWORD second = stream();
    ASSERT_TRUE(WaitUntil([&] { return stream() != second; }));
    const QByteArray thirdTrack = WithoutRightChannel(SectorOf(bin, 375 + 100));
    ASSERT_TRUE(WaitUntil([&] { return outputContains(thirdTrack); }));

    const QByteArray pcm = output();
    EXPECT_TRUE(pcm.contains(WithoutRightChannel(SectorOf(bin, 150 + 100))));
    bool rightSilent = true;
    for (qsizetype i = 2; i + 1 < pcm.size() && rightSilent; i += 4)
        rightSilent = SampleAt(pcm, i) == 0;
    EXPECT_TRUE(rightSilent);
    EXPECT_EQ(window().find<QLabel>("lblBalance").text(), "-100");
}

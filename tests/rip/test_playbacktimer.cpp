// The 50 ms playback timer: door boxes, the rescan of an empty list, the position display,
// and during a rip the rip dialog's bar instead of the position slider.

#include "ripfixture.h"

#include <QCheckBox>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QSlider>
#include <QTimer>

namespace {

constexpr int kSecond = 176400;

class PlaybackTimer : public RipFixture {
protected:
    // A playing stream of the given length at the given position, made the current stream.
    DWORD playing(QWORD length, QWORD position) {
        const DWORD s = h.audio.BASS_CD_StreamCreate(0, 0, kPlaybackStreamFlags);
        h.audio.stream(s)->length = length;
        h.audio.stream(s)->position = position;
        h.audio.stream(s)->active = BASS_ACTIVE_PLAYING;
        h.form->lStream = s;
        return s;
    }
    void timerTick() { h.form->tmrPlaybackPosition_Timer(); }
    QString label() const { return h.form->lblTrackPosition->text(); }
    int slider() const { return h.form->SliderPosition->value(); }
};

TEST_F(PlaybackTimer, DoorBoxesFollowTheDrive) {
    loadDisc({kSecond});
    h.audio.drives[0].open = true;
    h.audio.drives[0].locked = true;
    timerTick();
    EXPECT_TRUE(h.form->chkRWFlags[14]->isChecked());
    EXPECT_TRUE(h.form->chkRWFlags[13]->isChecked());
    h.audio.drives[0].open = false;
    h.audio.drives[0].locked = false;
    timerTick();
    EXPECT_FALSE(h.form->chkRWFlags[14]->isChecked());
    EXPECT_FALSE(h.form->chkRWFlags[13]->isChecked());
}

TEST_F(PlaybackTimer, AnEmptyListIsRescannedOnlyWithTheDoorClosed) {
    h.audio.addDrive();
    h.load();
    ASSERT_EQ(rows(), 0);
    h.audio.insertDisc(0, {kSecond, kSecond});
    h.audio.drives[0].open = true;
    timerTick();
    EXPECT_EQ(rows(), 0);
    h.audio.drives[0].open = false;
    timerTick();
    EXPECT_EQ(rows(), 2);
}

TEST_F(PlaybackTimer, ShowsThePositionOfThePlayingStream) {
    loadDisc({kSecond});
    playing(100 * kSecond, 30 * kSecond);
    timerTick();
    EXPECT_EQ(slider(), 3000);
    EXPECT_EQ(label(), "00:30 / 01:40");

    h.form->bSeeking = true; // the user holds the slider: nothing moves
    h.audio.stream(h.form->lStream)->position = 50 * kSecond;
    timerTick();
    EXPECT_EQ(slider(), 3000);
    EXPECT_EQ(label(), "00:30 / 01:40");

    h.form->bSeeking = false;
    timerTick();
    EXPECT_EQ(slider(), 5000);
    EXPECT_EQ(label(), "00:50 / 01:40");

    h.audio.BASS_ChannelStop(h.form->lStream); // stopped: back to the start, no text
    timerTick();
    EXPECT_EQ(slider(), 0);
    EXPECT_EQ(label(), "");
}

TEST_F(PlaybackTimer, AZeroLengthStreamNeverStopsTheTimer) {
    loadDisc({kSecond});
    h.form->SliderPosition->setValue(1234);
    playing(0, 0);
    timerTick();
    EXPECT_EQ(slider(), 0);
    EXPECT_EQ(label(), "00:00 / 00:00");
    EXPECT_TRUE(h.form->tmrPlaybackPosition->isActive());

    // The timer itself keeps running over such a stream.
    QEventLoop wait;
    QTimer::singleShot(200, &wait, &QEventLoop::quit);
    wait.exec();
    EXPECT_TRUE(h.form->tmrPlaybackPosition->isActive());
}

TEST_F(PlaybackTimer, DuringARipTheBarMovesAndThePositionDisplayStaysPut) {
    loadDisc({5 * kBlock});
    tick({1});
    std::vector<int> bar;
    std::vector<int> sliderSeen;
    h.audio.afterGetData = [&](DWORD handle, int) {
        if (h.audio.stream(handle)->active == BASS_ACTIVE_STOPPED)
            return; // the last block: the tick would find no active stream
        h.form->SliderPosition->setValue(777);
        h.form->lblTrackPosition->setText("01:02 / 03:04");
        timerTick();
        bar.push_back(h.form->ripDialog->prgRipper->value());
        sliderSeen.push_back(slider());
        EXPECT_EQ(label(), "01:02 / 03:04");
    };
    extract();

    EXPECT_EQ(bar, (std::vector<int>{20, 40, 60, 80}));
    EXPECT_EQ(sliderSeen, std::vector<int>(4, 777));
    EXPECT_TRUE(h.form->tmrPlaybackPosition->isActive());
}

TEST_F(PlaybackTimer, AStopRequestKeepsTheLabelStill) {
    loadDisc({kSecond});
    playing(100 * kSecond, 30 * kSecond);
    h.form->lblTrackPosition->setText("left alone");
    h.form->bStopRipping = true;
    timerTick();
    EXPECT_EQ(slider(), 3000);
    EXPECT_EQ(label(), "left alone");
}

} // namespace

// The player on the scripted library: the transport, the syncs that move on, the sliders and the
// position timer. (A read error while playing: the real player's tests.)
#include "playback/player.h"
#include "support/windowtest.h"

#include <QAbstractSlider>
#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

namespace {

constexpr DWORD kSyncEnd = BASS_SYNC_ONETIME | BASS_SYNC_END;
constexpr DWORD kSyncSlide = BASS_SYNC_ONETIME | BASS_SYNC_SLIDE;

class PlayerTest : public ::testing::Test {
protected:
    // A disc of tracks with the given lengths (a length below 1 cannot be read).
    void load(const std::vector<int>& lengths) {
        w.audio.addDrive();
        w.audio.insertDisc(0, lengths);
        ASSERT_TRUE(w.load());
    }
    void loadTracks(int count) { load(std::vector<int>(count, 30 * kSecond)); }

    DWORD stream() { return w.find<Player>().currentStream(); }
    FakeStream& fake() { return *w.audio.stream(stream()); }
    int playingTrack() { return static_cast<int>(fake().track); }
    void select(int row) { w.list().setCurrentItem(w.list().topLevelItem(row - 1)); }
    void press(int button) {
        w.find<QPushButton>(QStringLiteral("cmdButton_%1").arg(button).toLatin1()).click();
    }
    // Fires a sync the way the library does and lets the window's thread take it.
    void fire(DWORD type) {
        w.audio.fireSync(stream(), type);
        QCoreApplication::processEvents();
    }
    QSlider& slider(const char* name) { return w.find<QSlider>(name); }
    QString label(const char* name) { return w.find<QLabel>(name).text(); }
    void tick() { w.find<Player>().tmrPlaybackPosition_Timer(); }

    FakeWindow w;
};

} // namespace

TEST_F(PlayerTest, SkinTransportPlaysTheRightRowAndSelectsIt) {
    struct Case {
        int selected; // 0: no row selected
        const char* command;
        int playedRow; // 0: nothing starts
    };
    const Case cases[] = {
        {3, "IDC_FS_Next", 4},      {12, "IDC_FS_Next", 1}, {5, "IDC_FS_Previous", 4},
        {1, "IDC_FS_Previous", 12}, {7, "IDC_FS_Begin", 1}, {2, "IDC_FS_End", 12},
        {6, "IDC_FS_Play", 6},      {0, "IDC_FS_Next", 0},  {0, "IDC_FS_Previous", 0},
        {0, "IDC_FS_Play", 0},
    };
    loadTracks(12);
    for (const Case& c : cases) {
        if (c.selected > 0)
            select(c.selected);
        else
            w.list().clearSelection();
        w.audio.clearCalls();
        w.command(c.command);
        const auto created = w.audio.callsStartingWith("BASS_CD_StreamCreate");
        if (c.playedRow == 0) {
            EXPECT_TRUE(created.empty()) << c.command;
            continue;
        }
        EXPECT_EQ(created.size(), 1u) << c.command << " from " << c.selected;
        EXPECT_EQ(playingTrack(), c.playedRow - 1) << c.command << " from " << c.selected;
        EXPECT_EQ(w.selectedRow(), c.playedRow) << c.command << " from " << c.selected;
    }
}

// Rows carry their track: the row after an unreadable track plays the track it shows.
TEST_F(PlayerTest, RowsPlayTheTrackTheyShow) {
    load({30 * kSecond, 0, 30 * kSecond});
    select(2);
    emit w.list().itemDoubleClicked(w.list().topLevelItem(1), 1);
    EXPECT_EQ(playingTrack(), 2);
}

TEST_F(PlayerTest, TheEndOfATrackPlaysTheRowAfterTheSelectedOne) {
    loadTracks(6);
    select(5);
    press(0);
    const DWORD fifth = stream();
    fire(kSyncEnd);
    EXPECT_EQ(w.selectedRow(), 6);
    select(2); // the user picks a row meanwhile: the player follows it
    fire(kSyncEnd);
    EXPECT_EQ(w.selectedRow(), 3);
    EXPECT_EQ(playingTrack(), 2);

    // An end that arrives after the user started another track is out of date.
    w.audio.fireSync(fifth, kSyncEnd);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.selectedRow(), 3);
}

// A stop, a pause or a rip ends a fade-out: its end never starts the next track, and a paused
// track resumes at the volume the slider shows.
TEST_F(PlayerTest, StopPauseOrRipEndAFadeOut) {
    const char* const commands[] = {"IDC_FS_Stop", "IDC_FS_Pause", "IDC_FS_ExtractBtn"};
    loadTracks(3);
    for (const char* command : commands) {
        select(1);
        press(0);
        press(8);
        EXPECT_TRUE(w.audio.called("BASS_ChannelSlideAttributes(" + std::to_string(stream()) +
                                   ",-1,0,-101,5000)"));
        w.command(command);
        fire(kSyncSlide);
        EXPECT_EQ(w.selectedRow(), 1) << command;
        EXPECT_EQ(playingTrack(), 0) << command;
        EXPECT_EQ(fake().volume, 100) << command;
    }
    press(0); // a fade that runs to its end moves on
    press(8);
    fire(kSyncSlide);
    EXPECT_EQ(w.selectedRow(), 2);
}

// (The next track keeps them: the real player's tests.)
TEST_F(PlayerTest, SlidersReachTheStream) {
    loadTracks(2);
    press(0);
    slider("SliderVolume").setValue(-50);
    EXPECT_EQ(fake().volume, 100) << "a value set by the program does not touch the stream";
    // A user's step reaches the stream with the value the slider moves to.
    slider("SliderVolume").triggerAction(QAbstractSlider::SliderSingleStepSub);
    slider("SliderBalance").triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(fake().volume, 60);
    EXPECT_EQ(fake().pan, -10);
    EXPECT_EQ(label("lblVolume"), "Volume : 6");
    EXPECT_EQ(label("lblBalance"), "-10");

    // Half goes to the even neighbour.
    const std::pair<int, const char*> captions[] = {{-45, "Volume : 4"}, {-55, "Volume : 6"}};
    for (const auto& [position, caption] : captions) {
        slider("SliderVolume").setValue(position);
        EXPECT_EQ(label("lblVolume"), caption);
    }
}

TEST_F(PlayerTest, ThePositionSliderSeeksAndHoldsTheDisplayWhileHeld) {
    load({100 * kSecond});
    press(0);
    fake().position = 10 * kSecond;
    tick();
    EXPECT_EQ(slider("SliderPosition").value(), 1000);
    EXPECT_EQ(label("lblTrackPosition"), "00:10 / 01:40");

    QSlider& position = slider("SliderPosition");
    position.setSliderDown(true);
    position.setValue(7000);
    fake().position = 20 * kSecond;
    tick();
    EXPECT_EQ(label("lblTrackPosition"), "00:10 / 01:40") << "no move while held";
    position.setSliderDown(false);
    EXPECT_EQ(fake().position, QWORD(70 * kSecond));
    tick();
    EXPECT_EQ(label("lblTrackPosition"), "01:10 / 01:40");

    position.triggerAction(QAbstractSlider::SliderPageStepAdd); // a click on the groove
    EXPECT_EQ(fake().position, QWORD(80 * kSecond));

    w.command("IDC_FS_Stop");
    tick();
    EXPECT_EQ(position.value(), 0);
    EXPECT_EQ(label("lblTrackPosition"), "");
}

TEST_F(PlayerTest, TheTimerRescansAnEmptyListOnceTheDoorCloses) {
    w.audio.addDrive();
    w.load();
    w.audio.insertDisc(0, {kSecond, kSecond});
    w.audio.drives[0].open = true;
    tick();
    EXPECT_EQ(w.list().topLevelItemCount(), 0);
    w.audio.drives[0].open = false;
    tick();
    EXPECT_EQ(w.list().topLevelItemCount(), 2);

    // A stream of no length shows zero.
    press(0);
    fake().length = 0;
    tick();
    EXPECT_EQ(slider("SliderPosition").value(), 0);
}

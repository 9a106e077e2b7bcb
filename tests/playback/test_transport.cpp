// The transport buttons, the track list's double click and the three sliders
// on the scripted library.
#include "playbackfixture.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>

using Strings = std::vector<std::string>;

using Transport = PlaybackTest;

namespace {
// The text of a call on the current stream, e.g. On("BASS_ChannelPause", form).
std::string On(const char* name, const frmMain& form, const std::string& rest = {}) {
    return std::string(name) + "(" + std::to_string(form.lStream) + rest + ")";
}
} // namespace

TEST_F(Transport, SlidersHaveTheirRangesStepsAndCaptions) {
    loadTracks(1);
    const QSlider& volume = *form().SliderVolume;
    EXPECT_EQ(volume.orientation(), Qt::Vertical);
    EXPECT_EQ(std::pair(volume.minimum(), volume.maximum()), std::pair(-100, 0));
    EXPECT_TRUE(volume.invertedAppearance()) << "-100, full volume, is at the top";
    EXPECT_EQ(std::pair(volume.pageStep(), volume.singleStep()), std::pair(1, 10));
    const QSlider& balance = *form().SliderBalance;
    EXPECT_EQ(std::pair(balance.minimum(), balance.maximum()), std::pair(-100, 100));
    EXPECT_EQ(std::pair(balance.pageStep(), balance.singleStep()), std::pair(10, 1));
    EXPECT_EQ(balance.tickInterval(), 10);
    const QSlider& position = *form().SliderPosition;
    EXPECT_EQ(std::pair(position.minimum(), position.maximum()), std::pair(0, 10000));
    EXPECT_EQ(std::pair(position.pageStep(), position.singleStep()), std::pair(1000, 100));
    EXPECT_EQ(position.tickInterval(), 500);
    EXPECT_EQ(form().lblBalance->text(), "0");
    EXPECT_TRUE(form().lblTrackPosition->text().isEmpty());
    EXPECT_EQ(form().lblVolume->text(), "Volume : 10") << "start-up set the library's volume";
    for (const QSlider* slider : {&volume, &balance, &position})
        EXPECT_FALSE(slider->accessibleName().isEmpty()) << slider->objectName().toStdString();
}

TEST_F(Transport, VolumeLabelRoundsHalvesToEven) {
    loadTracks(1);
    const std::vector<std::pair<int, const char*>> cases = {
        {-100, "Volume : 10"}, {-45, "Volume : 4"}, {-55, "Volume : 6"}, {-5, "Volume : 0"},
        {-15, "Volume : 2"},   {-44, "Volume : 4"}, {-46, "Volume : 5"}, {0, "Volume : 0"}};
    for (const auto& [position, label] : cases) {
        form().SliderVolume->setValue(position);
        EXPECT_EQ(form().lblVolume->text(), label) << position;
    }
}

TEST_F(Transport, VolumeSetByCodeRelabelsWithoutTouchingTheStream) {
    loadTracks(1);
    selectRow(1);
    form().lsTracks_DblClick();
    h.audio.clearCalls();
    form().SliderVolume->setValue(-30);
    EXPECT_EQ(form().lblVolume->text(), "Volume : 3");
    EXPECT_TRUE(h.audio.calls.empty());
}

// A user's step reaches the stream with the value the slider moves to, not the one it leaves.
TEST_F(Transport, UserMovesOfVolumeAndBalanceReachTheStream) {
    loadTracks(1);
    selectRow(1);
    form().lsTracks_DblClick();
    form().SliderVolume->setValue(-50);
    h.audio.clearCalls();
    form().SliderVolume->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(h.audio.calls, Strings{On("BASS_ChannelSetAttributes", form(), ",-1,60,-101")});
    EXPECT_EQ(form().lblVolume->text(), "Volume : 6");

    h.audio.clearCalls();
    form().SliderBalance->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(h.audio.calls, Strings{On("BASS_ChannelSetAttributes", form(), ",-1,-1,-10")});
    EXPECT_EQ(form().lblBalance->text(), "-10");
    EXPECT_EQ(h.audio.stream(form().lStream)->pan, -10);
    EXPECT_EQ(h.audio.stream(form().lStream)->volume, 60);
}

TEST_F(Transport, ReleasingThePositionSliderSeeksToItsShareOfTheStream) {
    loadDisc({40'000'000});
    selectRow(1);
    form().lsTracks_DblClick();
    QSlider& slider = *form().SliderPosition;
    slider.setSliderDown(true);
    EXPECT_TRUE(form().bSeeking);
    slider.setValue(2500);
    EXPECT_TRUE(h.audio.callsStartingWith("BASS_ChannelSetPosition").empty())
        << "no seek while the slider is held";
    slider.setSliderDown(false);
    EXPECT_FALSE(form().bSeeking);
    EXPECT_EQ(h.audio.callsStartingWith("BASS_ChannelSetPosition"),
              Strings{On("BASS_ChannelSetPosition", form(), ",10000000")});
    EXPECT_EQ(h.audio.stream(form().lStream)->position, 10'000'000u);
}

TEST_F(Transport, AClickOnTheGrooveSeeksAtOnce) {
    loadDisc({40'000'000});
    selectRow(1);
    form().lsTracks_DblClick();
    form().SliderPosition->setValue(2500);
    form().SliderPosition->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(h.audio.callsStartingWith("BASS_ChannelSetPosition"),
              Strings{On("BASS_ChannelSetPosition", form(), ",14000000")});
}

TEST_F(Transport, HoldingThePositionSliderFreezesTheDisplayUntilRelease) {
    loadDisc({100 * kSecond});
    selectRow(1);
    form().lsTracks_DblClick();
    FakeStream& stream = *h.audio.stream(form().lStream);
    stream.position = 10 * kSecond;
    form().tmrPlaybackPosition_Timer();
    EXPECT_EQ(form().SliderPosition->value(), 1000);
    EXPECT_EQ(form().lblTrackPosition->text(), "00:10 / 01:40");

    form().SliderPosition->setSliderDown(true);
    form().SliderPosition->setValue(7000);
    stream.position = 20 * kSecond;
    form().tmrPlaybackPosition_Timer();
    EXPECT_EQ(form().SliderPosition->value(), 7000);
    EXPECT_EQ(form().lblTrackPosition->text(), "00:10 / 01:40");

    form().SliderPosition->setSliderDown(false); // seeks to 70 s
    form().tmrPlaybackPosition_Timer();
    EXPECT_EQ(form().SliderPosition->value(), 7000);
    EXPECT_EQ(form().lblTrackPosition->text(), "01:10 / 01:40");
}

TEST_F(Transport, ButtonsDriveTheStreamAndTheDoor) {
    loadTracks(3);
    selectRow(2);
    form().cmdButton[0]->click();
    EXPECT_EQ(created(), Strings{createCall(1)}) << "Play takes the selected row";
    FakeStream& stream = *h.audio.stream(form().lStream);

    form().cmdButton[1]->click();
    EXPECT_EQ(stream.active, BASS_ACTIVE_PAUSED);
    form().cmdButton[1]->click();
    EXPECT_EQ(stream.active, BASS_ACTIVE_PLAYING);
    form().cmdButton[8]->click();
    EXPECT_TRUE(h.audio.called(On("BASS_ChannelSlideAttributes", form(), ",-1,0,-101,5000")));
    form().cmdButton[2]->click();
    EXPECT_EQ(stream.active, BASS_ACTIVE_STOPPED);

    form().cmdButton[3]->click();
    EXPECT_TRUE(h.audio.drives[0].locked);
    form().cmdButton[4]->click();
    EXPECT_FALSE(h.audio.drives[0].locked);

    form().cmdButton[0]->click();
    h.audio.clearCalls();
    form().cmdButton[5]->click();
    EXPECT_EQ(h.audio.calls, (Strings{On("BASS_ChannelStop", form()), "BASS_CD_Door(0,1)"}));
    EXPECT_TRUE(h.audio.drives[0].open);
    form().cmdButton[6]->click();
    EXPECT_FALSE(h.audio.drives[0].open);
    ASSERT_GE(h.audio.calls.size(), 4u);
    EXPECT_EQ(h.audio.calls[2], "BASS_CD_Door(0,0)");
    EXPECT_EQ(h.audio.calls[3], "BASS_CD_GetInfo(0,28)") << "the capabilities are shown again";
}

TEST_F(Transport, PlayButtonAndDoubleClickNeedASelectedRow) {
    loadDisc({30 * kSecond, 0, 30 * kSecond});
    list().clearSelection();
    form().cmdButton[0]->click();
    form().lsTracks_DblClick();
    EXPECT_TRUE(created().empty());

    selectRow(2);
    emit list().itemDoubleClicked(row(2), 1);
    EXPECT_EQ(created(), Strings{createCall(2)}) << "the second row stands for track 2";
}

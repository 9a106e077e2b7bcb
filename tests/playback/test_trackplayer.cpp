// The track player on the scripted library: how a stream is started, and the
// syncs that move on to the next track or report a read error.
#include "playbackfixture.h"

#include <QSlider>

using Strings = std::vector<std::string>;

using TrackPlayer = PlaybackTest;

TEST_F(TrackPlayer, StartsAStreamWithTheSlidersAndThreeOneTimeSyncs) {
    loadTracks(4);
    form().SliderVolume->setValue(-70);
    form().SliderBalance->setValue(30);
    const DWORD previous = form().lStream;
    form().PlayTrack(2);
    const std::string s = std::to_string(form().lStream);
    EXPECT_EQ(
        h.audio.calls,
        (Strings{"BASS_ChannelStop(" + std::to_string(previous) + ")", createCall(2),
                 "BASS_ChannelSetAttributes(" + s + ",-1,70,30)", "BASS_StreamPlay(" + s + ",1,0)",
                 "BASS_ChannelSetSync(" + s + ",2147483650,0)",
                 "BASS_ChannelSetSync(" + s + ",2147484648,0)",
                 "BASS_ChannelSetSync(" + s + ",2147483653,0)"}));
}

TEST_F(TrackPlayer, EndOfTrackAndEndOfFadePlayTheNextRowAndWrap) {
    loadTracks(3);
    selectRow(2);
    form().lsTracks_DblClick();
    fire(form().lStream, kSyncEnd);
    EXPECT_EQ(selectedRow(), 3);
    fire(form().lStream, kSyncEnd);
    EXPECT_EQ(selectedRow(), 1);
    form().FadeOut();
    fire(form().lStream, kSyncSlide);
    EXPECT_EQ(selectedRow(), 2);
    EXPECT_EQ(created(), (Strings{createCall(1), createCall(2), createCall(0), createCall(1)}));
}

TEST_F(TrackPlayer, FollowsTheRowTheUserSelectedMeanwhile) {
    loadTracks(6);
    selectRow(1);
    form().lsTracks_DblClick();
    selectRow(4);
    fire(form().lStream, kSyncEnd);
    EXPECT_EQ(created().back(), createCall(4));
    EXPECT_EQ(selectedRow(), 5);
}

TEST_F(TrackPlayer, AnEndForAStreamNoLongerPlayingIsDropped) {
    loadTracks(5);
    selectRow(1);
    form().lsTracks_DblClick();
    const DWORD first = form().lStream;
    // The first stream ends while the user starts another track: the library
    // reports the end, but the window has moved on by the time it is taken.
    h.audio.fireSync(first, kSyncEnd);
    selectRow(4);
    form().lsTracks_DblClick();
    h.audio.clearCalls();
    QCoreApplication::processEvents();
    EXPECT_TRUE(created().empty());
    EXPECT_EQ(selectedRow(), 4);
}

TEST_F(TrackPlayer, EndWithoutASelectedRowStartsNothing) {
    loadTracks(3);
    selectRow(3);
    form().lsTracks_DblClick();
    list().clearSelection();
    h.audio.clearCalls();
    fire(form().lStream, kSyncEnd);
    EXPECT_TRUE(created().empty());
}

TEST_F(TrackPlayer, ReadErrorStopsFreesAndTellsTheUserOnce) {
    loadTracks(3);
    selectRow(1);
    form().lsTracks_DblClick();
    const DWORD stream = form().lStream;
    form().SliderPosition->setValue(4000);
    fire(stream, kSyncCdError);
    fire(stream, kSyncCdError); // one-time: nothing fires a second time

    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    const RecordedMessage& box = h.dialogs.messages[0];
    EXPECT_EQ(box.text, "There was an error playing back an Audio CD stream. Most probable cause "
                        "is the CD drive was opened.");
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.icon, MessageIcon::Critical);
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
    EXPECT_TRUE(h.audio.called("BASS_ChannelStop(" + std::to_string(stream) + ")"));
    EXPECT_TRUE(h.audio.called("BASS_StreamFree(" + std::to_string(stream) + ")"));
    EXPECT_EQ(h.audio.stream(stream), nullptr);
    EXPECT_EQ(form().SliderPosition->value(), 0);
    EXPECT_EQ(created(), Strings{createCall(0)}) << "nothing plays after the error";
}

TEST_F(TrackPlayer, AReadErrorOfAnOldStreamIsDropped) {
    loadTracks(3);
    selectRow(1);
    form().lsTracks_DblClick();
    const DWORD first = form().lStream;
    h.audio.fireSync(first, kSyncCdError);
    selectRow(2);
    form().lsTracks_DblClick();
    QCoreApplication::processEvents();
    EXPECT_TRUE(h.dialogs.messages.empty());
    EXPECT_NE(h.audio.stream(form().lStream), nullptr);
}

TEST_F(TrackPlayer, TheNextTrackKeepsTheBalanceAndVolumeTheSlidersShow) {
    loadTracks(3);
    selectRow(1);
    form().lsTracks_DblClick();
    form().SliderBalance->setValue(-100);
    form().SliderBalance_Scroll();
    form().SliderVolume->setValue(-40);
    form().SliderVolume_Scroll();
    form().FadeOut();
    fire(form().lStream, kSyncSlide);
    const FakeStream* next = h.audio.stream(form().lStream);
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next->track, 1u);
    EXPECT_EQ(next->pan, -100);
    EXPECT_EQ(next->volume, 40);
}

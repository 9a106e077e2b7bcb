// The disc scan without CD-TEXT: rows, durations, the skin's transport flags,
// and what an empty drive or an unreadable track leaves behind.
#include "cdwindowfixture.h"

#include <QLabel>
#include <QLineEdit>

using TrackListTest = CdWindowTest;

TEST_F(TrackListTest, ThreeTrackDiscListsItsTracksAndEnablesTheTransport) {
    h.audio.addDrive();
    h.audio.insertDisc(0, {30 * kSecond, 40 * kSecond, 50 * kSecond});
    frmMain& form = load();

    EXPECT_EQ(column(0), QStringList({"Track 01", "Track 02", "Track 03"}));
    EXPECT_EQ(column(1), QStringList({"Audio", "Audio", "Audio"}));
    EXPECT_EQ(column(2), QStringList({"00:30", "00:40", "00:50"}));
    EXPECT_EQ(rowTracks(), std::vector<int>({0, 1, 2}));
    for (int i = 0; i < 3; ++i) {
        const QTreeWidgetItem* row = form.lsTracks->topLevelItem(i);
        EXPECT_TRUE(row->flags() & Qt::ItemIsUserCheckable);
        EXPECT_EQ(row->checkState(0), Qt::Unchecked);
    }
    EXPECT_EQ(form.txtCDArtist->text(), "Unknown Artist");
    EXPECT_EQ(form.txtCDAlbum->text(), "Unknown Album");
    EXPECT_EQ(variables, scanVariables("1"));
    EXPECT_TRUE(form.lblNoTracks->isHidden());
    EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST_F(TrackListTest, DurationsAreRoundedToTheNearestSecondHalfToEven) {
    h.audio.addDrive();
    h.audio.insertDisc(0, {52920000, 635040000, 263424, 265776, 264600, 88200, 441000});
    load();
    // 300 s; 3600 s; 1.49 s; 1.51 s; 1.5 s up to 2; 0.5 s down to 0; 2.5 s down to 2.
    EXPECT_EQ(column(2),
              QStringList({"05:00", "01:00:00", "00:01", "00:02", "00:02", "00:00", "00:02"}));
}

TEST_F(TrackListTest, TrackNumbersHaveAtLeastTwoDigits) {
    h.audio.addDrive();
    h.audio.insertDisc(0, std::vector<int>(100, kSecond));
    load();
    const QStringList names = column(0);
    ASSERT_EQ(names.size(), 100);
    EXPECT_EQ(names.first(), "Track 01");
    EXPECT_EQ(names.at(8), "Track 09");
    EXPECT_EQ(names.at(9), "Track 10");
    EXPECT_EQ(names.last(), "Track 100");
}

TEST(Seconds2HMS, ShowsMinutesAndSecondsUnderAnHourAndHoursFromThenOn) {
    EXPECT_EQ(frmMain::Seconds2HMS(0), "00:00");
    EXPECT_EQ(frmMain::Seconds2HMS(59), "00:59");
    EXPECT_EQ(frmMain::Seconds2HMS(245), "04:05");
    EXPECT_EQ(frmMain::Seconds2HMS(3599), "59:59");
    EXPECT_EQ(frmMain::Seconds2HMS(3600), "01:00:00");
    EXPECT_EQ(frmMain::Seconds2HMS(3723), "01:02:03");
}

TEST_F(TrackListTest, EmptyDriveListsNothingShowsTheHintAndDisablesTheTransport) {
    FakeDrive& drive = h.audio.addDrive();
    h.audio.insertDisc(0, {30 * kSecond});
    frmMain& form = load();
    ASSERT_EQ(form.lsTracks->topLevelItemCount(), 1);

    drive.tracks.clear(); // the disc is taken out
    rescan();

    EXPECT_EQ(form.lsTracks->topLevelItemCount(), 0);
    EXPECT_TRUE(form.lblNoTracks->isVisibleTo(form.frMain));
    EXPECT_EQ(variables, scanVariables("0"));
    // The boxes still show the last disc.
    EXPECT_EQ(form.txtCDArtist->text(), "Unknown Artist");
    EXPECT_EQ(form.txtCDAlbum->text(), "Unknown Album");
    EXPECT_TRUE(h.audio.callsStartingWith("BASS_CD_GetTrackLength").size() == 1);
    EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST_F(TrackListTest, UnreadableTrackIsReportedAndLeavesNoRowWhileLaterRowsKeepTheirTracks) {
    h.audio.addDrive();
    h.audio.insertDisc(0, {30 * kSecond, 0, 50 * kSecond, 60 * kSecond});
    h.audio.drives[0].tracks[1].lengthError = BASS_ERROR_NOTAUDIO;
    frmMain& form = load();

    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    const RecordedMessage& box = h.dialogs.messages.front();
    EXPECT_EQ(box.text, "There was an error.\r\n\r\nError Code : 17");
    EXPECT_EQ(box.caption, "Error");
    EXPECT_EQ(box.icon, MessageIcon::Critical);
    EXPECT_EQ(box.buttons, MessageButtons::Ok);

    EXPECT_EQ(column(0), QStringList({"Track 01", "Track 03", "Track 04"}));
    EXPECT_EQ(column(2), QStringList({"00:30", "00:50", "01:00"}));
    EXPECT_EQ(rowTracks(), std::vector<int>({0, 2, 3}));
    EXPECT_EQ(variables, scanVariables("1"));
    EXPECT_TRUE(form.lblNoTracks->isHidden());
}

TEST(TrackOfRow, NoRowStandsForNoTrack) {
    EXPECT_EQ(frmMain::TrackOfRow(nullptr), -1);
}

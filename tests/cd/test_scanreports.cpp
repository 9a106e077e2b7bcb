// A disc whose scan fails is reported once: not on every automatic rescan, and
// never a second box while one is open; a new disc or drive is reported afresh.
#include "cdwindowfixture.h"

#include <QComboBox>

class ScanReportTest : public CdWindowTest {
protected:
    // The automatic rescan: the timer's own tick where it rescans an empty list,
    // and the scan itself, a few times over.
    void rescanRepeatedly() {
        for (int i = 0; i < 5; ++i) {
            form().tmrPlaybackPosition_Timer();
            form().LoadTrackList();
        }
    }
    void openAndCloseDoor() {
        h.audio.drives[0].open = true;
        form().LoadTrackList();
        h.audio.drives[0].open = false;
        form().LoadTrackList();
    }
};

TEST_F(ScanReportTest, UnreadableDiscIsReportedOnceWhileTheEmptyListIsRescanned) {
    h.audio.addDrive();
    h.audio.insertDisc(0, {0});
    frmMain& form = load();
    rescanRepeatedly();

    EXPECT_EQ(h.messageTexts(), QStringList({"There was an error.\r\n\r\nError Code : 17"}));
    EXPECT_EQ(form.lsTracks->topLevelItemCount(), 0);
    EXPECT_GE(h.audio.callsStartingWith("BASS_CD_GetTrackLength").size(), 6u); // it did rescan
}

TEST_F(ScanReportTest, EachUnreadableTrackOfTheFirstScanIsReportedAndNoneAfterwards) {
    h.audio.addDrive();
    h.audio.insertDisc(0, {0, 30 * kSecond, 0});
    load();
    rescanRepeatedly();
    EXPECT_EQ(h.dialogs.messages.size(), 2u);
    EXPECT_EQ(rowTracks(), std::vector<int>({1}));
}

TEST_F(ScanReportTest, CdTextThatDoesNotParseIsReportedOnce) {
    h.audio.addDrive();
    h.audio.insertDisc(0, {30 * kSecond});
    h.audio.drives[0].cdText = std::vector<std::string>{"TITLE7=x"};
    load();
    rescanRepeatedly();
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_TRUE(
        h.dialogs.messages.front().text.startsWith("Error in routine : LoadTrackListFromCDText"));
}

TEST_F(ScanReportTest, OpeningTheDoorOrChoosingAnotherDriveReportsTheDiscAgain) {
    h.audio.addDrive();
    h.audio.insertDisc(0, {0});
    h.audio.addDrive();
    h.audio.insertDisc(1, {30 * kSecond});
    frmMain& form = load();
    ASSERT_EQ(h.dialogs.messages.size(), 1u);

    openAndCloseDoor();
    EXPECT_EQ(h.dialogs.messages.size(), 2u);
    rescanRepeatedly();
    EXPECT_EQ(h.dialogs.messages.size(), 2u);

    form.cmbCDDrives->setCurrentIndex(1);
    form.cmbCDDrives->setCurrentIndex(0);
    EXPECT_EQ(h.dialogs.messages.size(), 3u);
}

TEST_F(ScanReportTest, NoScanStartsWhileAReportIsOpen) {
    h.audio.addDrive();
    h.audio.insertDisc(0, {30 * kSecond, 0, 50 * kSecond});
    // The timer ticks while the box waits for the user.
    h.dialogs.onMessage = [this](const RecordedMessage&) {
        rescanRepeatedly();
        return MessageResult::Ok;
    };
    load();

    EXPECT_EQ(h.dialogs.messages.size(), 1u);
    EXPECT_EQ(column(0), QStringList({"Track 01", "Track 03"}));
    EXPECT_EQ(rowTracks(), std::vector<int>({0, 2}));
    EXPECT_EQ(variables, scanVariables("1"));
}

// The "CD Drive" panel: drive choice, capability boxes, figures and door buttons.
#include "cdwindowfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {
constexpr DWORD kEveryFlag = 0xFFFFFFFFu;

std::vector<Qt::CheckState> States(const frmMain& form, int first, int last) {
    std::vector<Qt::CheckState> states;
    for (int i = first; i <= last; ++i)
        states.push_back(form.chkRWFlags[i]->checkState());
    return states;
}
} // namespace

using DriveInfoTest = CdWindowTest;

TEST_F(DriveInfoTest, DriveWithEveryCapabilityChecksBoxesAndEnablesTheDoorButtons) {
    FakeDrive& drive = h.audio.addDrive();
    drive.info = BASS_CD_INFO{28, kEveryFlag, 1, 1, 7056, 512, 1};
    drive.locked = true;
    frmMain& form = load();

    EXPECT_TRUE(h.audio.called("BASS_CD_GetInfo(0,28)"));
    EXPECT_EQ(States(form, 0, 12), std::vector<Qt::CheckState>(13, Qt::Checked));
    EXPECT_EQ(form.chkRWFlags[13]->checkState(), Qt::Checked); // the door is locked
    for (int i = 3; i <= 6; ++i)
        EXPECT_TRUE(form.cmdButton[i]->isEnabled()) << i;
    EXPECT_EQ(form.lblMaxReadSpeed->text(), "7,056 Kbps");
    EXPECT_EQ(form.lblCacheSize->text(), "512 KB");
}

TEST_F(DriveInfoTest, EachBoxShowsItsOwnFlagBit) {
    FakeDrive& drive = h.audio.addDrive();
    // bits 2 ("method 2"), 21 ("mode 2 form 2") and 25 ("stream is accurate"),
    // and bits no box shows (6, 19, 23, 26)
    drive.info.rwflags =
        (1u << 2) | (1u << 21) | (1u << 25) | (1u << 6) | (1u << 19) | (1u << 23) | (1u << 26);
    frmMain& form = load();
    std::vector<Qt::CheckState> expected(11, Qt::Unchecked);
    expected[2] = expected[7] = expected[10] = Qt::Checked;
    EXPECT_EQ(States(form, 0, 10), expected);
}

TEST_F(DriveInfoTest, DriveWithoutLockSupportGreysTheLockBoxAndDisablesLockAndUnlock) {
    FakeDrive& drive = h.audio.addDrive();
    drive.info = BASS_CD_INFO{28, 0, 1, 0, 7056, 512, 0};
    frmMain& form = load();

    EXPECT_EQ(form.chkRWFlags[12]->checkState(), Qt::Unchecked);
    EXPECT_EQ(form.chkRWFlags[13]->checkState(), Qt::PartiallyChecked);
    EXPECT_FALSE(form.cmdButton[3]->isEnabled());
    EXPECT_FALSE(form.cmdButton[4]->isEnabled());
    EXPECT_TRUE(form.cmdButton[5]->isEnabled());
    EXPECT_TRUE(form.cmdButton[6]->isEnabled());
    EXPECT_TRUE(h.audio.callsStartingWith("BASS_CD_DoorIsLocked").empty());
}

TEST_F(DriveInfoTest, FiguresGroupThousandsAndShowNoDigitsForZero) {
    FakeDrive& drive = h.audio.addDrive();
    drive.info.maxspeed = 0;
    drive.info.cache = 1234567;
    frmMain& form = load();
    EXPECT_EQ(form.lblMaxReadSpeed->text(), " Kbps");
    EXPECT_EQ(form.lblCacheSize->text(), "1,234,567 KB");

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    h.audio.drives[0].info.maxspeed = 7056;
    form.ShowDriveInfo();
    EXPECT_EQ(form.lblMaxReadSpeed->text(), "7.056 Kbps");
}

TEST_F(DriveInfoTest, FailedCapabilityQueryShowsNothing) {
    h.audio.addDrive();
    frmMain& form = load();
    form.lDrive = 5; // a drive the library does not know: the record stays empty
    form.ShowDriveInfo();
    EXPECT_EQ(States(form, 0, 12), std::vector<Qt::CheckState>(13, Qt::Unchecked));
    EXPECT_EQ(form.chkRWFlags[13]->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(form.lblMaxReadSpeed->text(), " Kbps");
    EXPECT_EQ(form.lblCacheSize->text(), " KB");
    for (int i = 3; i <= 6; ++i)
        EXPECT_FALSE(form.cmdButton[i]->isEnabled()) << i;
}

TEST_F(DriveInfoTest, CapabilityBoxesIgnoreClicksKeysAndPresses) {
    h.audio.addDrive().info.rwflags = BASS_CD_RWFLAG_READCDR;
    frmMain& form = load();
    form.frCDInfo->show();
    for (int i = 0; i < 15; ++i) {
        QCheckBox* box = form.chkRWFlags[i];
        const Qt::CheckState before = box->checkState();
        QTest::mouseClick(box, Qt::LeftButton);
        QTest::keyClick(box, Qt::Key_Space);
        box->click(); // what an accessibility press does
        EXPECT_EQ(box->checkState(), before) << i;
    }
    form.ShowDriveInfo(); // the program itself still shows the drive
    EXPECT_EQ(form.chkRWFlags[0]->checkState(), Qt::Checked);
}

TEST_F(DriveInfoTest, ChoosingAnotherDriveMakesItCurrentShowsItAndRescans) {
    h.audio.addDrive("First", 3);
    h.audio.insertDisc(0, {30 * kSecond});
    FakeDrive& second = h.audio.addDrive("Second", 4);
    second.info = BASS_CD_INFO{28, 0, 1, 0, 1411, 2048, 0};
    second.tracks = {FakeTrack{10 * kSecond}, FakeTrack{20 * kSecond}};
    second.cdText = std::vector<std::string>{"TITLE0=Second Disc", "PERFORMER0=Second Band"};
    frmMain& form = load();
    h.audio.clearCalls();
    variables.clear();

    form.cmbCDDrives->setCurrentIndex(1);

    EXPECT_EQ(form.lDrive, 1);
    EXPECT_TRUE(h.audio.called("BASS_CD_GetInfo(1,28)"));
    EXPECT_EQ(form.lblMaxReadSpeed->text(), "1,411 Kbps");
    EXPECT_EQ(form.lblCacheSize->text(), "2,048 KB");
    EXPECT_EQ(form.chkRWFlags[13]->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(column(2), QStringList({"00:10", "00:20"}));
    EXPECT_EQ(form.txtCDAlbum->text(), "Second Disc");
    EXPECT_EQ(form.txtCDArtist->text(), "Second Band");
    EXPECT_EQ(variables, scanVariables("1"));
    // Every CD call went to the chosen drive.
    for (const std::string& call : h.audio.calls) {
        if (call.rfind("BASS_CD_", 0) == 0) {
            EXPECT_NE(call.find("(1"), std::string::npos) << call;
        }
    }
}

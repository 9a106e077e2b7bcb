// Start-up and shutdown of the main window on the scripted library.
#include "support/mainwindowharness.h"

#include <QComboBox>
#include <QSlider>
#include <gtest/gtest.h>

#include <algorithm>

namespace {
// Position of the first recorded call that starts with prefix; calls.size() when none.
size_t FirstCall(const FakeAudio& audio, const std::string& prefix) {
    const auto& calls = audio.calls;
    return std::find_if(calls.begin(), calls.end(),
                        [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }) -
           calls.begin();
}

const QString kL1 =
    "Error: Couldn't Initialize Digital Output, The program will not work correclty.";
const QString kL2 = "The sound device may not be installed correclty.";
} // namespace

TEST(StartUp, RunsItsStepsInOrder) {
    MainWindowHarness h;
    h.audio.addDrive("Drive one", 3);
    h.audio.insertDisc(0, {176400 * 3});
    h.load();

    ASSERT_TRUE(h.loaded);
    EXPECT_TRUE(h.audio.called("BASS_Init(1,44100,0,ptr)"));
    const size_t init = FirstCall(h.audio, "BASS_Init");
    const size_t drives = FirstCall(h.audio, "BASS_CD_GetDriveDescription");
    const size_t scan = FirstCall(h.audio, "BASS_CD_IsReady");
    const size_t volume = FirstCall(h.audio, "BASS_GetVolume");
    EXPECT_LT(init, drives);
    EXPECT_LT(drives, scan);
    EXPECT_LT(scan, volume);
    EXPECT_LT(volume, h.audio.calls.size());
    EXPECT_TRUE(h.dialogs.messages.empty()) << h.messageTexts().join(" | ").toStdString();
}

TEST(StartUp, ListsDrivesByLetterWithTheirIndexAndScansTheFirst) {
    MainWindowHarness h;
    h.audio.addDrive("Vendor Model 1.0", 3);
    h.audio.addDrive("Virtual drive (demo.cue)", 4);
    frmMain& form = h.load();

    ASSERT_EQ(form.cmbCDDrives->count(), 2);
    EXPECT_EQ(form.cmbCDDrives->itemText(0), "D: Vendor Model 1.0");
    EXPECT_EQ(form.cmbCDDrives->itemText(1), "E: Virtual drive (demo.cue)");
    EXPECT_EQ(form.cmbCDDrives->itemData(0).toInt(), 0);
    EXPECT_EQ(form.cmbCDDrives->itemData(1).toInt(), 1);
    EXPECT_EQ(form.cmbCDDrives->currentIndex(), 0);
    EXPECT_EQ(form.lLastDrive, 1);
    EXPECT_EQ(form.lDrive, 0);
    // The first scan runs once, after the whole list is there.
    EXPECT_EQ(h.audio.callsStartingWith("BASS_CD_IsReady").size(), 1u);
    EXPECT_GT(FirstCall(h.audio, "BASS_CD_IsReady"),
              FirstCall(h.audio, "BASS_CD_GetDriveLetter(1)"));
}

TEST(StartUp, WithoutDrivesNothingIsScannedAndNothingUnlocked) {
    MainWindowHarness h;
    frmMain& form = h.load();
    EXPECT_EQ(form.cmbCDDrives->count(), 0);
    EXPECT_EQ(form.lLastDrive, -1);
    EXPECT_TRUE(h.audio.callsStartingWith("BASS_CD_IsReady").empty());

    form.close();
    EXPECT_TRUE(h.audio.callsStartingWith("BASS_CD_Door").empty());
    EXPECT_TRUE(h.audio.called("BASS_Free()"));
}

TEST(StartUp, VolumeSliderStandsAtMinusTheOutputVolume) {
    MainWindowHarness h;
    h.audio.volume = 80;
    frmMain& form = h.load();
    EXPECT_EQ(form.SliderVolume->value(), -80);
}

struct DigitalOutputCase {
    int code;
    const char* codeName;
    bool goesOn;
};

class DigitalOutputFailure : public ::testing::TestWithParam<DigitalOutputCase> {};

TEST_P(DigitalOutputFailure, ShowsTheBoxForTheCodeAndGoesOnOnlyFor14And23) {
    const DigitalOutputCase c = GetParam();
    MainWindowHarness h;
    h.audio.addDrive("Drive one", 3);
    h.audio.initResult = 0;
    h.audio.initError = c.code;
    h.load();

    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    const RecordedMessage& box = h.dialogs.messages[0];
    const QString expected =
        c.code == 14
            ? QString("Error: Couldn't Initialize Digital Output.\r\nError Code:") + c.codeName
            : kL1 + "\r\n" + kL2 + "\r\nError Code:" + c.codeName;
    EXPECT_EQ(box.text, expected);
    EXPECT_EQ(box.caption, "Digital output");
    EXPECT_EQ(box.icon, MessageIcon::Critical);
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
    EXPECT_EQ(h.loaded, c.goesOn);
    EXPECT_EQ(h.audio.callsStartingWith("BASS_CD_GetDriveDescription").empty(), !c.goesOn);
    if (!c.goesOn) {
        // The program ends at once: no later step and no shutdown step runs.
        EXPECT_TRUE(h.audio.callsStartingWith("BASS_GetVolume").empty());
        EXPECT_TRUE(h.audio.callsStartingWith("BASS_CD_Door").empty());
        EXPECT_TRUE(h.audio.callsStartingWith("BASS_Free").empty());
    }
}

INSTANTIATE_TEST_SUITE_P(EveryCode, DigitalOutputFailure,
                         ::testing::Values(DigitalOutputCase{1, "BASS_ERROR_MEM", false},
                                           DigitalOutputCase{3, "BASS_ERROR_DRIVER", false},
                                           DigitalOutputCase{6, "BASS_ERROR_FORMAT", false},
                                           DigitalOutputCase{14, "BASS_ERROR_ALREADY", true},
                                           DigitalOutputCase{21, "BASS_ERROR_NO3D", false},
                                           DigitalOutputCase{23, "BASS_ERROR_DEVICE", true},
                                           DigitalOutputCase{-1, "BASS_ERROR_UNKNOWN", false},
                                           DigitalOutputCase{8, "BASS_ERROR_UNKNOWN2", false}));

TEST(Shutdown, UnlocksEveryDoorBeforeStoppingAndFreeingTheLibrary) {
    MainWindowHarness h;
    h.audio.addDrive("Drive one", 3);
    h.audio.addDrive("Drive two", 4);
    h.audio.insertDisc(0, {176400 * 3});
    frmMain& form = h.load();
    form.Flash_FSCommand("IDC_FS_Play", "");
    h.audio.clearCalls();

    form.close();

    const std::vector<std::string> expected = {"BASS_CD_Door(0,3)", "BASS_CD_Door(1,3)",
                                               "BASS_Stop()", "BASS_Free()"};
    std::vector<std::string> shutdown;
    for (const std::string& call : h.audio.calls)
        if (call.rfind("BASS_CD_Door", 0) == 0 || call == "BASS_Stop()" || call == "BASS_Free()")
            shutdown.push_back(call);
    EXPECT_EQ(shutdown, expected);
}

// The skin's commands on the scripted library: exact texts, door and lock, the
// transport with wrap-around, panels, help and the rip start.
#include "playbackfixture.h"

#include <QGroupBox>

using Strings = std::vector<std::string>;

namespace {
// Writes the lock variables the skin is told into the call log, so their order
// against the door calls shows.
void TraceLockVariables(frmMain& form, FakeAudio& audio) {
    QObject::connect(form.movie, &Flash::variableSet, &form,
                     [&audio](const QString& name, const QString& value) {
                         if (name.startsWith("_root.lock"))
                             audio.calls.push_back((name + "=" + value).toStdString());
                     });
}

Strings LockAndDoor(const Strings& calls) {
    Strings kept;
    for (const std::string& call : calls)
        if (call.rfind("_root.lock", 0) == 0 || call.rfind("BASS_CD_Door(", 0) == 0)
            kept.push_back(call);
    return kept;
}
} // namespace

using Dispatcher = PlaybackTest;

TEST_F(Dispatcher, LockTogglesOnlyOnTheExactTexts) {
    loadTracks(3);
    command("IDC_FS_unlock");
    EXPECT_TRUE(h.audio.drives[0].locked);
    command("IDC_FS_Unlock");
    EXPECT_FALSE(h.audio.drives[0].locked);
    command("IDC_FS_lock");
    EXPECT_TRUE(h.audio.drives[0].locked);

    h.audio.clearCalls();
    command("IDC_FS_UNLOCK");
    command("IDC_FS_Lock");
    EXPECT_TRUE(h.audio.calls.empty());
    EXPECT_TRUE(h.audio.drives[0].locked);
}

TEST_F(Dispatcher, LockAndUnlockTellTheSkinBeforeTheDoorMoves) {
    loadTracks(3);
    TraceLockVariables(form(), h.audio);
    command("IDC_FS_lock");
    command("IDC_FS_lock");
    EXPECT_EQ(LockAndDoor(h.audio.calls),
              (Strings{"_root.lock=1", "_root.lockFlag=1", "BASS_CD_Door(0,2)", "_root.lock=0",
                       "_root.lockFlag=1", "BASS_CD_Door(0,3)"}));
}

TEST_F(Dispatcher, NextAndPreviousWrapAroundTwelveRows) {
    loadTracks(12);
    selectRow(12);
    command("IDC_FS_Next");
    EXPECT_EQ(created(), Strings{createCall(0)});
    EXPECT_EQ(selectedRow(), 1);

    h.audio.clearCalls();
    command("IDC_FS_Previous");
    EXPECT_EQ(created(), Strings{createCall(11)});
    EXPECT_EQ(selectedRow(), 12);

    h.audio.clearCalls();
    command("IDC_FS_Previous");
    command("IDC_FS_Next");
    EXPECT_EQ(created(), (Strings{createCall(10), createCall(11)}));
    EXPECT_EQ(selectedRow(), 12);
}

TEST_F(Dispatcher, BeginAndEndPlayTheOuterRowsAndSelectThem) {
    loadTracks(5);
    command("IDC_FS_End");
    EXPECT_EQ(selectedRow(), 5);
    command("IDC_FS_Begin");
    EXPECT_EQ(selectedRow(), 1);
    EXPECT_EQ(created(), (Strings{createCall(4), createCall(0)}));
}

TEST_F(Dispatcher, PlayResumesAPausedTrackAndRestartsAStoppedOne) {
    loadTracks(4);
    selectRow(3);
    command("IDC_FS_Play");
    const DWORD stream = form().lStream;
    ASSERT_NE(stream, 0u);
    h.audio.stream(stream)->position = 5 * kSecond;

    command("IDC_FS_Pause");
    EXPECT_EQ(h.audio.stream(stream)->active, BASS_ACTIVE_PAUSED);
    h.audio.clearCalls();
    command("IDC_FS_Play");
    EXPECT_TRUE(created().empty());
    EXPECT_EQ(form().lStream, stream);
    EXPECT_EQ(h.audio.stream(stream)->active, BASS_ACTIVE_PLAYING);
    EXPECT_EQ(h.audio.stream(stream)->position, QWORD(5 * kSecond));

    command("IDC_FS_Stop");
    EXPECT_EQ(h.audio.stream(stream)->active, BASS_ACTIVE_STOPPED);
    h.audio.clearCalls();
    command("IDC_FS_Play");
    EXPECT_EQ(created(), Strings{createCall(2)});
    EXPECT_TRUE(h.audio.called("BASS_StreamPlay(" + std::to_string(form().lStream) + ",1,0)"));
    EXPECT_EQ(selectedRow(), 3);
}

TEST_F(Dispatcher, TransportDoesNothingWithoutASelectedRowOrWithoutRows) {
    loadTracks(4);
    list().clearSelection();
    for (const char* text : {"IDC_FS_Play", "IDC_FS_Next", "IDC_FS_Previous"})
        command(text);
    EXPECT_TRUE(created().empty());

    h.audio.drives[0].tracks.clear();
    form().LoadTrackList();
    ASSERT_EQ(list().topLevelItemCount(), 0);
    h.audio.clearCalls();
    for (const char* text :
         {"IDC_FS_Play", "IDC_FS_Next", "IDC_FS_Previous", "IDC_FS_Begin", "IDC_FS_End"})
        command(text);
    EXPECT_TRUE(created().empty());
}

// Track 1's length cannot be read, so the second row stands for track 2.
TEST_F(Dispatcher, RowsWithAMissingTrackPlayTheTrackTheyShow) {
    loadDisc({30 * kSecond, 0, 30 * kSecond});
    ASSERT_EQ(list().topLevelItemCount(), 2);
    selectRow(1);
    command("IDC_FS_Next");
    selectRow(2);
    command("IDC_FS_Play");
    command("IDC_FS_End");
    EXPECT_EQ(created(), (Strings{createCall(2), createCall(2), createCall(2)}));
}

TEST_F(Dispatcher, DoorCommandOpensAndClosesAnUnlockedDriveOnly) {
    loadTracks(3);
    h.audio.drives[0].locked = true;
    command("IDC_FS_OpenFiles");
    EXPECT_EQ(h.audio.callsStartingWith("BASS_"), Strings{"BASS_CD_DoorIsLocked(0)"});
    EXPECT_EQ(list().topLevelItemCount(), 3);

    h.audio.drives[0].locked = false;
    selectRow(1);
    command("IDC_FS_Play");
    const DWORD stream = form().lStream;
    command("IDC_FS_OpenFiles");
    EXPECT_TRUE(h.audio.drives[0].open);
    EXPECT_EQ(h.audio.stream(stream)->active, BASS_ACTIVE_STOPPED);
    EXPECT_EQ(list().topLevelItemCount(), 0);

    command("IDC_FS_OpenFiles");
    EXPECT_FALSE(h.audio.drives[0].open);
    EXPECT_EQ(list().topLevelItemCount(), 3);
}

TEST_F(Dispatcher, PanelCommandsShowAndRaiseAndBothHideCommandsHideAll) {
    loadTracks(2);
    const std::vector<std::pair<const char*, QGroupBox*>> shown = {
        {"IDC_FS_ShowExtract", form().frMain},
        {"IDC_FS_CD Drive", form().frCDInfo},
        {"IDC_FS_output format", form().frFileFormat},
        {"IDC_FS_General", form().frGeneralOptions},
        {"IDC_FS_ShowSettings", form().frGeneralOptions},
    };
    for (const char* hide : {"IDC_FS_Hide", "IDC_FS_Extract"}) {
        for (const auto& [text, panel] : shown) {
            command(text);
            EXPECT_FALSE(panel->isHidden()) << text;
            EXPECT_EQ(form().children().last(), panel) << text << " did not raise its panel";
        }
        command(hide);
        for (QGroupBox* panel :
             {form().frMain, form().frCDInfo, form().frFileFormat, form().frGeneralOptions})
            EXPECT_TRUE(panel->isHidden()) << hide;
    }
}

TEST_F(Dispatcher, HelpOpensThePageOfTheApplicationFolder) {
    loadTracks(1);
    command("IDC_FS_Help");
    EXPECT_EQ(h.desktop.opened, QStringList{form().appFolder() + "/Help.html"});
}

TEST_F(Dispatcher, UnknownCommandsAreIgnored) {
    loadTracks(2);
    const bool mainHidden = form().frMain->isHidden();
    for (const char* text : {"IDC_FS_play", "IDC_FS_", "", "IDC_FS_Play ", "Drag"})
        command(text);
    EXPECT_TRUE(h.audio.calls.empty());
    EXPECT_TRUE(h.dialogs.messages.empty());
    EXPECT_TRUE(h.desktop.opened.isEmpty());
    EXPECT_EQ(form().frMain->isHidden(), mainHidden);
}

TEST_F(Dispatcher, ExtractWithNothingTickedStopsAndAsksForTracks) {
    loadTracks(3);
    selectRow(2);
    command("IDC_FS_Play");
    const DWORD stream = form().lStream;
    form().bStopRipping = true;
    command("IDC_FS_ExtractBtn");
    EXPECT_EQ(h.audio.stream(stream)->active, BASS_ACTIVE_STOPPED);
    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    const RecordedMessage& box = h.dialogs.messages[0];
    EXPECT_EQ(box.text, "No Tracks Selected. Please, Select tracks first");
    EXPECT_EQ(box.caption, "No Tracks Selected");
    EXPECT_EQ(box.icon, MessageIcon::Exclamation);
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
    EXPECT_TRUE(form().bStopRipping) << "no rip started, so the stop request stays";
}

TEST_F(Dispatcher, CloseRunsTheShutdownAndMinimizeMinimizes) {
    loadTracks(2);
    h.audio.addDrive("Drive two", 4);
    form().lLastDrive = 1;
    form().show();
    command("IDC_FS_Minimize");
    EXPECT_TRUE(form().isMinimized());
    EXPECT_TRUE(h.audio.calls.empty());

    command("IDC_FS_Close");
    EXPECT_FALSE(form().isVisible());
    EXPECT_EQ(h.audio.callsStartingWith("BASS_CD_Door"),
              (Strings{"BASS_CD_Door(0,3)", "BASS_CD_Door(1,3)"}));
    EXPECT_TRUE(h.audio.called("BASS_Free()"));
}

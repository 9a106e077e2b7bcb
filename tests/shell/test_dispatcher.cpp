// The skin's commands on the scripted library: exact texts, door and lock, panels, help,
// the rip start and the window's own commands.
#include "support/windowtest.h"

#include <QCoreApplication>
#include <QGroupBox>

namespace {

using Strings = std::vector<std::string>;

class Dispatcher : public ::testing::Test {
protected:
    void SetUp() override {
        w.audio.addDrive();
        w.audio.insertDisc(0, {30 * kSecond, 30 * kSecond, 30 * kSecond});
        ASSERT_TRUE(w.load());
        w.audio.clearCalls();
    }
    QGroupBox& panel(const char* name) { return w.find<QGroupBox>(name); }

    FakeWindow w;
};

} // namespace

// Lock and unlock toggle on these exact texts; the skin's indicator is told before the door
// moves, so it never shows a state the door has not taken.
TEST_F(Dispatcher, LockTogglesOnlyOnTheExactTextsAndTellsTheSkinFirst) {
    QObject::connect(&w.find<Flash>("Flash"), &Flash::variableSet,
                     [this](const QString& name, const QString& value) {
                         if (name.startsWith("_root.lock"))
                             w.audio.calls.push_back((name + "=" + value).toStdString());
                     });
    for (const char* text : {"IDC_FS_unlock", "IDC_FS_Unlock", "IDC_FS_UNLOCK", "IDC_FS_Lock"})
        w.command(text);
    w.command("IDC_FS_lock");
    EXPECT_EQ(w.audio.callsStartingWith("BASS_CD_Door(").size(), 3u);
    EXPECT_TRUE(w.audio.drives[0].locked);
    w.audio.clearCalls();
    w.command("IDC_FS_lock");
    const Strings expected = {"_root.lock=0", "_root.lockFlag=1", "BASS_CD_Door(0,3)"};
    Strings seen;
    for (const std::string& call : w.audio.calls)
        if (call.rfind("_root.lock", 0) == 0 || call.rfind("BASS_CD_Door(", 0) == 0)
            seen.push_back(call);
    EXPECT_EQ(seen, expected);
}

TEST_F(Dispatcher, DoorCommandOpensAndClosesAnUnlockedDriveOnly) {
    w.audio.drives[0].locked = true;
    w.command("IDC_FS_OpenFiles");
    EXPECT_FALSE(w.audio.drives[0].open);
    EXPECT_EQ(w.list().topLevelItemCount(), 3);

    w.audio.drives[0].locked = false;
    w.command("IDC_FS_Play");
    const DWORD stream = w.audio.lastStream();
    w.command("IDC_FS_OpenFiles");
    EXPECT_TRUE(w.audio.drives[0].open);
    EXPECT_EQ(w.audio.stream(stream)->active, BASS_ACTIVE_STOPPED);
    EXPECT_EQ(w.list().topLevelItemCount(), 0);
    w.command("IDC_FS_OpenFiles");
    EXPECT_EQ(w.list().topLevelItemCount(), 3);
}

TEST_F(Dispatcher, PanelCommandsShowAndRaiseAndBothHideCommandsHideAll) {
    const std::pair<const char*, const char*> shown[] = {
        {"IDC_FS_ShowExtract", "frMain"},
        {"IDC_FS_CD Drive", "frCDInfo"},
        {"IDC_FS_output format", "frFileFormat"},
        {"IDC_FS_General", "frGeneralOptions"},
        {"IDC_FS_ShowSettings", "frGeneralOptions"},
    };
    for (const char* hide : {"IDC_FS_Hide", "IDC_FS_Extract"}) {
        for (const auto& [text, name] : shown) {
            w.command(text);
            EXPECT_FALSE(panel(name).isHidden()) << text;
            EXPECT_EQ(w.form().children().last(), &panel(name)) << text << " did not raise it";
        }
        w.command(hide);
        for (const char* name : {"frMain", "frCDInfo", "frFileFormat", "frGeneralOptions"})
            EXPECT_TRUE(panel(name).isHidden()) << hide;
    }
}

// The press that sent a command returns before the command runs (a rip holds its window open).
TEST_F(Dispatcher, ACommandRunsAfterThePressThatSentItReturns) {
    emit w.find<Flash>("Flash").FSCommand("IDC_FS_Help", {});
    EXPECT_TRUE(w.desktop.opened.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(w.desktop.opened.size(), 1);
}

TEST_F(Dispatcher, HelpOpensThePageAndUnknownCommandsAreIgnored) {
    for (const char* text : {"IDC_FS_play", "IDC_FS_", "", "IDC_FS_Play ", "Drag"})
        w.command(text);
    EXPECT_TRUE(w.audio.calls.empty());
    EXPECT_TRUE(w.dialogs.messages.empty());
    w.command("IDC_FS_Help");
    EXPECT_EQ(w.desktop.opened, QStringList{QCoreApplication::applicationDirPath() + "/Help.html"});
}

TEST_F(Dispatcher, ExtractWithNothingTickedStopsAndAsksForTracks) {
    w.command("IDC_FS_Play");
    const DWORD stream = w.audio.lastStream();
    w.command("IDC_FS_ExtractBtn");
    EXPECT_EQ(w.audio.stream(stream)->active, BASS_ACTIVE_STOPPED);
    EXPECT_EQ(w.messages("No Tracks Selected"),
              QStringList{"No Tracks Selected. Please, Select tracks first"});
}

TEST_F(Dispatcher, CloseRunsTheShutdownAndMinimizeMinimizes) {
    w.form().show();
    w.command("IDC_FS_Minimize");
    EXPECT_TRUE(w.form().isMinimized());
    EXPECT_TRUE(w.audio.calls.empty());
    w.command("IDC_FS_Close");
    EXPECT_FALSE(w.form().isVisible());
    EXPECT_EQ(w.audio.callsStartingWith("BASS_CD_Door"), Strings{"BASS_CD_Door(0,3)"});
    EXPECT_TRUE(w.audio.called("BASS_Free()"));
}

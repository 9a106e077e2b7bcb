// The skin's commands on the scripted library: exact texts, lock, panels, help,
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

// Only these exact texts move the lock (the door's own tests check what it shows).
TEST_F(Dispatcher, LockTogglesOnlyOnTheExactTexts) {
    for (const char* text : {"IDC_FS_unlock", "IDC_FS_Unlock", "IDC_FS_UNLOCK", "IDC_FS_Lock"})
        w.command(text);
    w.command("IDC_FS_lock");
    EXPECT_EQ(w.audio.callsStartingWith("BASS_CD_Door(").size(), 3u);
    EXPECT_TRUE(w.audio.drives[0].locked);
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

// The skin's commands on the scripted library: when a command runs, and the rip start.
#include "support/windowtest.h"

#include <QCoreApplication>

namespace {

class Dispatcher : public ::testing::Test {
protected:
    void SetUp() override {
        w.audio.addDrive();
        w.audio.insertDisc(0, {30 * kSecond, 30 * kSecond, 30 * kSecond});
        ASSERT_TRUE(w.load());
    }
    FakeWindow w;
};

} // namespace

// The press that sent a command returns before the command runs (a rip holds its window open).
TEST_F(Dispatcher, ACommandRunsAfterThePressThatSentItReturns) {
    emit w.find<Flash>("Flash").FSCommand("IDC_FS_Help", {});
    EXPECT_TRUE(w.desktop.opened.isEmpty());
    QCoreApplication::processEvents();
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

// The door of the chosen drive, whoever moves it (the face, the CD Drive panel's buttons, the
// drive itself): the face, the panel's boxes and buttons say what the drive did, and moving
// the door stops what plays and reads the disc again.
#include "support/windowtest.h"

#include <QCheckBox>
#include <QPushButton>
#include <QQuickItem>

namespace {

class DoorTest : public ::testing::Test {
protected:
    void load(DWORD canLock) {
        w.audio.addDrive().info.canlock = canLock;
        w.audio.insertDisc(0, {30 * kSecond, 30 * kSecond, 30 * kSecond});
        ASSERT_TRUE(w.load());
    }
    FakeDrive& drive() { return w.audio.drives[0]; }
    void press(int button) { this->button(button).click(); }
    QPushButton& button(int i) {
        return w.find<QPushButton>(QStringLiteral("cmdButton_%1").arg(i).toLatin1());
    }
    QString face(const char* variable) { return w.find<Flash>("Flash").GetVariable(variable); }
    QString lockText() {
        auto* text = w.find<Flash>("Flash").rootObject()->findChild<QQuickItem*>("lockText");
        return text->property("text").toString();
    }
    Qt::CheckState box(int i) {
        return w.find<QCheckBox>(QStringLiteral("chkRWFlags_%1").arg(i).toLatin1()).checkState();
    }
    void tick() { w.find<QTimer>("tmrPlaybackPosition").timeout({}); }

    FakeWindow w;
};

} // namespace

TEST_F(DoorTest, WhoeverMovesItEverythingShowsWhatTheDriveDid) {
    load(1);
    struct Step {
        const char* who;
        std::function<void()> act;
        bool open, locked;
        int rows; // after the step; the door opens on a stopped player
    };
    const Step steps[] = {
        {"face lock", [&] { w.command("IDC_FS_lock"); }, false, true, 3},
        {"face door, locked", [&] { w.command("IDC_FS_OpenFiles"); }, false, true, 3},
        {"panel Open, locked", [&] { press(5); }, false, true, 3},
        {"panel Unlock", [&] { press(4); }, false, false, 3},
        {"panel Lock", [&] { press(3); }, false, true, 3},
        {"face unlock", [&] { w.command("IDC_FS_Unlock"); }, false, false, 3},
        {"face door opens", [&] { w.command("IDC_FS_OpenFiles"); }, true, false, 0},
        {"panel Close", [&] { press(6); }, false, false, 3},
        {"panel Open", [&] { press(5); }, true, false, 0},
        {"face door closes", [&] { w.command("IDC_FS_OpenFiles"); }, false, false, 3},
        {"the drive's button", [&] { drive().open = true, tick(); }, true, false, 3},
        {"another program", [&] { drive().open = false, drive().locked = true, tick(); }, false,
         true, 3},
    };
    for (const Step& step : steps) {
        w.command("IDC_FS_Play");
        const DWORD playing = w.audio.lastStream();
        step.act();
        EXPECT_EQ(drive().open, step.open) << step.who;
        EXPECT_EQ(drive().locked, step.locked) << step.who;
        EXPECT_EQ(face("_root.lock"), step.locked ? "1" : "0") << step.who;
        EXPECT_EQ(lockText(), step.locked ? "Locked" : "Unlocked") << step.who;
        EXPECT_EQ(face("_root.DoorOpen"), step.open ? "1" : "0") << step.who;
        EXPECT_EQ(box(13), step.locked ? Qt::Checked : Qt::Unchecked) << step.who;
        EXPECT_EQ(box(14), step.open ? Qt::Checked : Qt::Unchecked) << step.who;
        EXPECT_EQ(w.list().topLevelItemCount(), step.rows) << step.who;
        if (step.open && step.rows == 0) {
            EXPECT_EQ(w.audio.stream(playing)->active, BASS_ACTIVE_STOPPED) << step.who;
        }
    }
}

// A drive that cannot lock is never shown locked or unlocked, not even after the timer looked.
TEST_F(DoorTest, ADriveThatCannotLockSaysSoEverywhere) {
    load(0);
    w.command("IDC_FS_lock");
    tick();
    EXPECT_EQ(face("_root.lock"), "0");
    EXPECT_EQ(face("_root.CanLock"), "0");
    EXPECT_EQ(lockText(), "No lock"); // the panel's box and buttons: in the CD Drive tests
}

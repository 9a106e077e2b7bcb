// Discs and drives that change while the window runs, through the real window on the real
// library: whatever changed the disc, the window's timer shows the new one (or none), and a rip
// reads no more of it; drives plugged in or out join or leave the list, and the drive chosen
// stays chosen.
#include "support/fakedriveevents.h"
#include "support/testimages.h"
#include "support/windowtest.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

namespace {

// The sheet and bin of a generated disc copied in as name.cue and name.bin: libcdio's CUE
// reader reads the bin named after the sheet, whatever its FILE line says.
bool CopyDisc(const QString& disc, const QString& folder, const QString& name) {
    QFile sheet(TestImage(disc + ".cue"));
    if (!sheet.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = sheet.readAll().replace(QString("\"" + disc + ".bin\"").toUtf8(),
                                                    "\"" + name.toUtf8() + ".bin\"");
    QFile copy(folder + "/" + name + ".cue.new");
    QFile::remove(folder + "/" + name + ".bin.new");
    return copy.open(QIODevice::WriteOnly) && copy.write(text) == text.size() &&
           QFile::copy(TestImage(disc + ".bin"), folder + "/" + name + ".bin.new");
}

// Puts a copied disc in place of name.cue and name.bin, each file replaced whole.
bool SwapDiscIn(const QString& disc, const QString& folder, const QString& name) {
    if (!CopyDisc(disc, folder, name))
        return false;
    for (const char* ext : {".bin", ".cue"}) {
        const QString path = folder + "/" + name + ext;
        if (std::rename(QFile::encodeName(path + ".new"), QFile::encodeName(path)) != 0)
            return false;
    }
    return true;
}

} // namespace

// A listed image whose files are replaced on disk is another disc, one removed is no disc, in
// a virtual drive and in a drive libcdio reads: rows, titles and the face follow.
TEST(DiscChanges, AnImageReplacedOnDiskIsAnotherDisc) {
    for (const bool throughLibcdio : {false, true}) {
        SCOPED_TRACE(throughLibcdio ? "MIVO_CDIO_DEVICES" : "MIVO_DISC_IMAGES");
        QTemporaryDir folder;
        ASSERT_TRUE(SwapDiscIn("nocdtext", folder.path(), "disc"));
        const QStringList sheet{folder.filePath("disc.cue")};
        RealWindow w;
        ASSERT_TRUE(throughLibcdio ? w.start({}, sheet) : w.start(sheet));
        ASSERT_EQ(w.column(0), QStringList({"Track 01", "Track 02", "Track 03"}));

        ASSERT_TRUE(SwapDiscIn("cdtext", folder.path(), "disc"));
        EXPECT_TRUE(WaitUntil([&] {
            return w.column(3) == QStringList({"First Song", "Second Song"});
        }));
        EXPECT_EQ(w.find<QLineEdit>("txtCDAlbum").text(), "Text Disc");
        EXPECT_EQ(w.find<Flash>("Flash").GetVariable("_root.DiscTitle"), "Text Disc");

        ASSERT_TRUE(QFile::remove(sheet.first()));
        EXPECT_TRUE(WaitUntil([&] { return w.list().topLevelItemCount() == 0; }));
        EXPECT_EQ(w.find<Flash>("Flash").GetVariable("_root.PlayEnabled"), "0");
        EXPECT_TRUE(w.dialogs.messages.empty());
    }
}

// The sheet of a listed disc is replaced while a rip to MP3 waits with tracks 1 to 3 read (track
// 1's encoder holds the queue): track 4 is not read from the new disc; one box says why, the
// log too, and the tracks read before keep their files.
TEST(DiscChanges, ARipReadsNothingOfADiscPutInDuringIt) {
    QTemporaryDir folder;
    const QString out = folder.filePath("out");
    const QString gate = folder.filePath("gate");
    const auto write = [&](const char* name, const QByteArray& text) {
        QFile file(folder.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() &&
               file.setPermissions(file.permissions() | QFile::ExeOwner);
    };
    ASSERT_TRUE(CopyDisc("nocdtext", folder.path(), "disc")); // its bin, cut into four tracks
    ASSERT_TRUE(QFile::rename(folder.filePath("disc.bin.new"), folder.filePath("disc.bin")));
    ASSERT_TRUE(write("disc.cue", "FILE \"disc.bin\" BINARY\nTRACK 01 AUDIO\nINDEX 01 00:00:00\n"
                                  "TRACK 02 AUDIO\nINDEX 01 00:02:00\nTRACK 03 AUDIO\nINDEX 01 "
                                  "00:05:00\nTRACK 04 AUDIO\nINDEX 01 00:07:00\n"));
    ASSERT_TRUE(write("lame", "#!/bin/sh\nfor last; do :; done\ncase \"$last\" in *TRACK1*) while "
                              "[ ! -e \"" +
                                  gate.toUtf8() +
                                  "\" ]; do sleep 0.02; done;; esac\nexec /usr/bin/lame \"$@\"\n"));
    const ScopedEnv path("PATH", folder.path().toStdString() + ":/usr/bin:/bin");
    RealWindow w;
    ASSERT_TRUE(w.start({folder.filePath("disc.cue")}));
    w.find<QLineEdit>("txtExtractPath").setText(out);
    w.find<QRadioButton>("optExtractMode3").setChecked(true);
    w.find<QSpinBox>("spnEncoders").setValue(1);
    w.tick({1, 2, 3, 4});
    QTimer step; // track 3 spooled whole, then the swap, then the gate once the window saw it
    bool swapped = false;
    QObject::connect(&step, &QTimer::timeout, [&] {
        const QStringList spool = QDir(out).entryList({".mivo-spool-*"}, QDir::Dirs | QDir::Hidden);
        const QFileInfo track3(out + "/" + spool.value(0) + "/TRACK3.wav");
        if (!swapped && track3.size() == 44 + 150 * 2352)
            swapped = SwapDiscIn("cdtext", folder.path(), "disc");
        if (swapped && w.list().topLevelItemCount() == 2)
            QFile(gate).open(QIODevice::WriteOnly);
    });
    step.start(10);
    const HangGuard guard("a rip whose disc changed");
    w.command("IDC_FS_ExtractBtn");
    const QStringList said = w.messages("Disc changed");
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said[0].startsWith("The disc in the drive changed while track 4 was being read"));
    EXPECT_EQ(QDir(out).entryList({"TRACK*"}),
              QStringList({"TRACK1.mp3", "TRACK2.mp3", "TRACK3.mp3"}));
    QFile log(out + "/" + QDir(out).entryList({"Mivo rip *"}).value(0));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains(
        "Track 4\nFile: none\nOutcome: read failed (the disc in the drive changed)\n"));
}

// Drives plugged in or pulled out while the window runs, as udev reports them: each joins or
// leaves the list, takes its old letter when it comes back, and the drive chosen stays chosen;
// when the chosen one goes, the first drive left is chosen and its disc listed.
TEST(DriveChanges, DrivesThatComeAndGoJoinAndLeaveTheListAndTheChosenOneStays) {
    QTemporaryDir folder;
    const QString plugged = folder.filePath("sr9"); // no medium a drive could read
    ASSERT_TRUE(QFile(plugged).open(QIODevice::WriteOnly));
    auto events = std::make_unique<FakeDriveEvents>();
    FakeDriveEvents& udev = *events;
    RealWindow w;
    w.driveEvents = std::move(events);
    ASSERT_TRUE(w.start({TestImage("nocdtext.cue"), TestImage("oddlengths.cue")}));
    auto& drives = w.find<QComboBox>("cmbCDDrives");
    drives.setCurrentIndex(1);
    const QStringList oddlengths = w.column(2);
    const auto listed = [&] {
        QStringList items;
        for (int i = 0; i < drives.count(); ++i)
            items << drives.itemText(i).left(1);
        return items;
    };

    udev.send(DriveEvent::Kind::Added, plugged.toStdString());
    EXPECT_TRUE(WaitUntil([&] { return listed() == QStringList({"D", "E", "F"}); }));
    EXPECT_EQ(drives.itemText(2), "F: " + plugged);
    udev.send(DriveEvent::Kind::Removed, plugged.toStdString());
    EXPECT_TRUE(WaitUntil([&] { return listed() == QStringList({"D", "E"}); }));
    udev.send(DriveEvent::Kind::Added, plugged.toStdString());
    EXPECT_TRUE(WaitUntil([&] { return listed() == QStringList({"D", "E", "F"}); }));
    EXPECT_EQ(drives.currentIndex(), 1);
    EXPECT_EQ(w.column(2), oddlengths);

    drives.setCurrentIndex(2);
    EXPECT_EQ(w.list().topLevelItemCount(), 0);
    udev.send(DriveEvent::Kind::Removed, plugged.toStdString());
    EXPECT_TRUE(WaitUntil([&] { return listed() == QStringList({"D", "E"}); }));
    EXPECT_EQ(drives.currentIndex(), 0);
    EXPECT_EQ(w.list().topLevelItemCount(), 3);
}

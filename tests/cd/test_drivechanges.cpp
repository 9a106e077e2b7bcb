// Discs and drives that change while the window runs, through the real window on the real
// library: whatever changed the disc, the window's timer shows the new one (or none); drives
// plugged in or out join or leave the list, and the drive chosen stays chosen.
#include "support/fakedriveevents.h"
#include "support/testimages.h"
#include "support/windowtest.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>

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

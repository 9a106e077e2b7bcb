// The settings kept between runs: a first run, a save read back (the drive too), texts left
// behind that make no sense, a settings file not understood and a save that fails; the output
// folder as typed.
#include "settings/cregister.h"
#include "settings/outputoptions.h"
#include "support/windowtest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

// Every option the window shows, as "name=what it shows", joined by "|".
QString Shown(FakeWindow& w) {
    return w.optionValues().join('|');
}

// Sets every control away from its default, the MP3 VBR list to no selection.
void ChangeEverything(FakeWindow& w) {
    w.find<QLineEdit>("txtExtractPath").setText(QString::fromUtf8(" /#rips; = \"x\" \\ %41 日本 "));
    w.find<QRadioButton>("optExtractMode3").setChecked(true);
    w.find<QRadioButton>("optOGGVBR").setChecked(true);
    w.find<QRadioButton>("optMP3VBR").setChecked(true);
    w.find<QComboBox>("cmbOGGCBitrate").setCurrentIndex(0);
    w.find<QComboBox>("cmbOGGVBitrate").setCurrentIndex(8);
    w.find<QComboBox>("cmbMP3CBitrate").setCurrentIndex(9);
    w.find<QComboBox>("cmbMP3VBitrate").setCurrentIndex(-1);
    w.find<QComboBox>("cmbCDDrives").setCurrentIndex(1);
    w.find<QComboBox>("cmbFLACLevel").setCurrentIndex(8);
    w.find<QLineEdit>("txtWMATags0").setText(QString::fromUtf8("Café"));
    w.find<QCheckBox>("chkReadTwice").setChecked(true);
    w.find<QCheckBox>("chkReplayGain").setChecked(false);
    w.find<QCheckBox>("chkCoverArt").setChecked(false);
    w.find<QComboBox>("cmbAlsoMake").setCurrentText("FLAC");
    w.find<QLineEdit>("txtAlsoFileNames").setText("lossless/{nn}");
    for (const char* box :
         {"chkAccurateRip", "chkLookUpOnline", "chkRemovePreEmphasis", "chkWholeDisc"})
        w.find<QCheckBox>(box).toggle();
}

class SettingsStoreTest : public ::testing::Test {
protected:
    // A window with two drives (one track in the first, two in the second) on the folder.
    std::unique_ptr<FakeWindow> open(const QString& settingsFolder = {}) {
        auto w = std::make_unique<FakeWindow>();
        w->settingsFolder = settingsFolder.isEmpty() ? folder.path() : settingsFolder;
        w->audio.addDrive("First", 3);
        w->audio.addDrive("Second", 4);
        w->audio.insertDisc(0, {kSecond});
        w->audio.insertDisc(1, {kSecond, kSecond});
        EXPECT_TRUE(w->load());
        return w;
    }
    void store(const QString& name, const QString& text) {
        ASSERT_TRUE(
            CRegister(folder.path())
                .REGSaveSetting(HKEY_LOCAL_MACHINE, "Software\\Vantrope\\Settings", name, text));
    }
    QString hive() const { return folder.filePath("HKEY_LOCAL_MACHINE.json"); }

    QTemporaryDir folder;
};

} // namespace

// A reload drops what was not saved, and a stored value that makes no sense leaves its control
// as it is.
TEST_F(SettingsStoreTest, SavedChoicesComeBackInANewWindowAndNonsenseIsIgnored) {
    auto first = open();
    EXPECT_FALSE(first->find<QCheckBox>("chkRemovePreEmphasis").isChecked());
    ChangeEverything(*first);
    first->find<QLineEdit>("txtWMATags5").clear(); // an empty tag loads as the box's text
    first->command("IDC_FS_Apply");
    EXPECT_EQ(first->messages(), QStringList{"Settings have been saved."});
    const QString saved = Shown(*first);
    auto second = open();
    EXPECT_EQ(Shown(*second), QString(saved).replace("txtWMATags5=|", "txtWMATags5=Copyright|"));
    EXPECT_EQ(second->list().topLevelItemCount(), 2) << "the saved second drive was scanned";

    first->find<QLineEdit>("txtExtractPath").setText("/unsaved");
    first->find<QComboBox>("cmbOGGCBitrate").setCurrentIndex(3);
    first->command("IDC_FS_Settings");
    EXPECT_EQ(Shown(*first), saved);
    const std::pair<const char*, const char*> rows[] = {{"File Format", "6"},
                                                        {"File Format", "-1"},
                                                        {"File Format", "three"},
                                                        {"OGG CBR Check", "maybe"},
                                                        {"MP3 CBR Check", "yes"},
                                                        {"OGG CBR Bitrate", "9"},
                                                        {"OGG VBR Bitrate", "1.5"},
                                                        {"MP3 CBR Bitrate", "-2"},
                                                        {"MP3 VBR Bitrate", "0x1"},
                                                        {"WMA Bitrate", "2"},
                                                        {"FLAC Level", "9"},
                                                        {"Drive Index", "2"},
                                                        {"Drive Index", "-1"},
                                                        {"Also Make", "3"},
                                                        {"Also Make", "6"},
                                                        {"Cover Art", "sometimes"},
                                                        {"Remove Pre-emphasis", "maybe"},
                                                        {"Whole Disc Image", "1.0"}};
    for (const auto& [name, text] : rows) {
        store(name, text);
        first->command("IDC_FS_Settings");
        EXPECT_EQ(Shown(*first), saved) << name << " = " << text;
    }
    EXPECT_EQ(first->messages().size(), 1) << "only the confirmation";
}

// The file stays as it was until the next save, which then reads back.
TEST_F(SettingsStoreTest, ASettingsFileNotUnderstoodLoadsDefaultsAndIsNamedOnce) {
    const QByteArray contents = "{\"Software\\\\Vantrope\\\\Settings\": {\"File Format\": 3";
    QFile file(hive());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
    file.close();
    auto w = open();
    w->command("IDC_FS_Settings");
    QTemporaryDir empty;
    EXPECT_EQ(Shown(*w), Shown(*open(empty.path())));
    ASSERT_EQ(w->messages().size(), 1);
    EXPECT_TRUE(w->messages().front().contains(hive()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), contents);
    file.close();
    w->command("IDC_FS_Apply");
    EXPECT_TRUE(open()->dialogs.messages.empty());
}

TEST_F(SettingsStoreTest, ASaveThatFailsIsToldWithTheFileAndNotConfirmed) {
    const QString notAFolder = folder.filePath("settings");
    ASSERT_TRUE(QFile(notAFolder).open(QIODevice::WriteOnly));
    auto w = open(notAFolder);
    w->command("IDC_FS_Apply");
    const QStringList told = w->messages("Settings not saved");
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.front().contains(notAFolder + "/HKEY_LOCAL_MACHINE.json"));
    EXPECT_TRUE(w->messages("Done").isEmpty());
}

// A settings file that may not be written still loads, and is left as it was.
TEST_F(SettingsStoreTest, ASettingsFileThatMayNotBeWrittenStillLoads) {
    auto first = open();
    ChangeEverything(*first);
    first->command("IDC_FS_Apply");
    const QString saved = Shown(*first);
    QFile::setPermissions(hive(), QFile::ReadOwner);
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner);
    const bool permissionsHold = !QFile(folder.filePath("probe")).open(QIODevice::WriteOnly);
    if (permissionsHold) {
        auto w = open();
        EXPECT_EQ(Shown(*w), saved);
        w->find<QLineEdit>("txtExtractPath").setText("/elsewhere");
        w->command("IDC_FS_Apply");
        EXPECT_EQ(w->messages("Settings not saved").size(), 1);
        EXPECT_EQ(Shown(*open()), saved);
    }
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (!permissionsHold)
        GTEST_SKIP() << "running as root: permission bits do not stop writing";
}

TEST_F(SettingsStoreTest, TheChosenFormatBringsItsPanelToTheFront) {
    auto w = open();
    for (int i : {3, 2, 4, 1, 0}) {
        w->find<QRadioButton>(QString("optExtractMode%1").arg(i).toLatin1()).setChecked(true);
        for (int panel = 0; panel < 5; ++panel)
            EXPECT_EQ(w->find<QFrame>(QString("frFormatSettings%1").arg(panel).toLatin1())
                          .isVisibleTo(&w->find<QWidget>("frFileFormat")),
                      panel == i);
    }
}

// The second format's names: its own when typed, else the first's in a folder of the format's
// name, and that folder too when both formats' files would take the same names.
TEST_F(SettingsStoreTest, ASecondFormatIsNeverTheFirstAndNeverTakesItsNames) {
    auto w = open();
    const struct {
        int first;
        const char *also, *typed, *names;
        int alsoFormat;
    } cases[] = {{5, "MP3", "", "{format}/TRACK{n}", 3},
                 {5, "MP3", "TRACK{n}", "TRACK{n}", 3},
                 {0, "MP3", "TRACK{n}", "{format}/TRACK{n}", 3},
                 {3, "OGG", "{album}/{nn}", "{album}/{nn}", 4},
                 {4, "OGG", "", "", -1}};
    for (const auto& c : cases) {
        w->find<QComboBox>("cmbAlsoMake").setCurrentText(c.also);
        w->find<QLineEdit>("txtAlsoFileNames").setText(c.typed);
        w->find<QRadioButton>(QString("optExtractMode%1").arg(c.first).toLatin1()).setChecked(true);
        const OutputChoice choice = w->find<OutputOptions>().choice();
        EXPECT_EQ(choice.alsoFormat, c.alsoFormat) << c.also;
        EXPECT_EQ(choice.alsoFileNames, c.names) << c.also << " " << c.typed;
    }
    EXPECT_EQ(w->find<QComboBox>("cmbAlsoMake").currentText(), "None");
}

TEST_F(SettingsStoreTest, BrowseSetsTheChosenFolderAndACancelKeepsTheText) {
    auto w = open();
    w->find<QLineEdit>("txtExtractPath").setText("/music/rips");
    w->dialogs.folderAnswer = "/media/usb/Ripped/";
    w->find<QPushButton>("cmdBrowseFolder").click();
    EXPECT_EQ(w->dialogs.folderRequests, QStringList{"/music/rips"});
    EXPECT_EQ(w->find<OutputOptions>().choice().folder, "/media/usb/Ripped");
    w->dialogs.folderAnswer.clear();
    w->find<QPushButton>("cmdBrowseFolder").click();
    EXPECT_EQ(w->find<OutputOptions>().choice().folder, "/media/usb/Ripped");
}

// "~" is the home folder, and so is the start of a relative folder, which the box then shows
// whole: files never go into the program's own folder.
TEST_F(SettingsStoreTest, FoldersAreInTheHomeUnlessTheyStartAtTheRoot) {
    const ScopedEnv home("HOME", "/home/ann");
    auto w = open();
    auto& box = w->find<QLineEdit>("txtExtractPath");
    const struct {
        const char* typed;
        const char* shown;
        const char* folder;
    } cases[] = {
        {"~/Music/", "~/Music/", "/home/ann/Music"},
        {"~", "~", "/home/ann"},
        {"Music", "/home/ann/Music", "/home/ann/Music"},
        {"./a/../~b", "/home/ann/~b", "/home/ann/~b"},
        {"/srv/rips", "/srv/rips", "/srv/rips"},
    };
    for (const auto& c : cases) {
        box.clear();
        QTest::keyClicks(&box, c.typed);
        QTest::keyClick(&box, Qt::Key_Return);
        EXPECT_EQ(box.text(), c.shown);
        EXPECT_EQ(w->find<OutputOptions>().choice().folder, c.folder);
    }
}

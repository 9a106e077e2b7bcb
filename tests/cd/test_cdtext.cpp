// Discs with CD-TEXT: the disc's title and performer, and blocks that do not parse.
#include "cdwindowfixture.h"

#include "common/product.h"

#include <QLabel>
#include <QLineEdit>

#include <string>

namespace {
QString RoutineBox(int number, const QString& description) {
    return "Error in routine : LoadTrackListFromCDTextin module : frmDemo\r\nError #" +
           QString::number(number) + "\r\n" + description;
}
} // namespace

class CdTextTest : public CdWindowTest {
protected:
    // Starts on a disc without CD-TEXT, so the boxes show "Unknown ..." texts.
    void SetUp() override {
        CdWindowTest::SetUp();
        h.audio.addDrive();
        h.audio.insertDisc(0, {30 * kSecond, 40 * kSecond});
        load();
    }
    // Puts a two-track disc with the given entries in the drive and scans it.
    void scanBlock(const std::vector<std::string>& entries, int trackCount = 2) {
        h.audio.insertDisc(0, std::vector<int>(trackCount, 30 * kSecond));
        h.audio.drives[0].cdText = entries;
        rescan();
    }
    QString album() { return form().txtCDAlbum->text(); }
    QString artist() { return form().txtCDArtist->text(); }
};

TEST_F(CdTextTest, DiscTitleAndPerformerComeFromTheEntriesNumberedZero) {
    scanBlock({"TITLE0=Blue", "PERFORMER0=Band", "TITLE1=Intro"});
    EXPECT_EQ(album(), "Blue");
    EXPECT_EQ(artist(), "Band");
    EXPECT_EQ(column(0), QStringList({"Track 01", "Track 02"})); // track titles stay out
    EXPECT_EQ(column(1), QStringList({"Audio", "Audio"}));
    EXPECT_EQ(column(2), QStringList({"00:30", "00:30"}));
    EXPECT_EQ(rowTracks(), std::vector<int>({0, 1}));
    EXPECT_EQ(variables, scanVariables("1"));
    EXPECT_TRUE(h.dialogs.messages.empty());
}

TEST_F(CdTextTest, KeysAreRecognisedWhateverTheirCase) {
    scanBlock({"title0=blue", "Performer0=band"});
    EXPECT_EQ(album(), "blue");
    EXPECT_EQ(artist(), "band");
}

TEST_F(CdTextTest, ValuesTakeEverythingAfterTheFirstEqualsAndTheLastEntryWins) {
    scanBlock({"TITLE0=First", "PERFORMER0=A=B", "TITLE0=Second", "TITLE0.4=Rounded to the disc"});
    EXPECT_EQ(album(), "Rounded to the disc");
    EXPECT_EQ(artist(), "A=B");
}

TEST_F(CdTextTest, BlockWithOnlyTrackEntriesEmptiesBothBoxes) {
    ASSERT_EQ(album(), "Unknown Album");
    scanBlock({"TITLE1=Intro", "PERFORMER2=Guest", "TITLE2=Outro"});
    EXPECT_EQ(album(), "");
    EXPECT_EQ(artist(), "");
    EXPECT_EQ(column(0), QStringList({"Track 01", "Track 02"}));
}

TEST_F(CdTextTest, OtherKeysAreSkippedWhatTheyHold) {
    scanBlock(
        {"SONGWRITER0=Writer", "GENRE", "MESSAGE5=hello", "TITLE0=Blue", "DISC_ID=not a number"});
    EXPECT_EQ(album(), "Blue");
    EXPECT_EQ(artist(), "");
    EXPECT_TRUE(h.dialogs.messages.empty());
    EXPECT_EQ(column(0).size(), 2);
}

TEST_F(CdTextTest, NumberBeyondTheTrackCountIsReportedAndListsNothing) {
    scanBlock({"TITLE0=Blue", "TITLE3=Too far"});

    ASSERT_EQ(h.dialogs.messages.size(), 1u);
    const RecordedMessage& box = h.dialogs.messages.front();
    EXPECT_EQ(box.text, RoutineBox(9, "Subscript out of range"));
    EXPECT_EQ(box.caption, kProductName);
    EXPECT_EQ(box.icon, MessageIcon::None);
    EXPECT_EQ(box.buttons, MessageButtons::Ok);
    EXPECT_EQ(form().lsTracks->topLevelItemCount(), 0);
    EXPECT_EQ(album(), "Unknown Album");
    EXPECT_EQ(artist(), "Unknown Artist");
    EXPECT_EQ(variables, scanVariables("0"));
    EXPECT_TRUE(form().lblNoTracks->isVisibleTo(form().frMain));
    EXPECT_TRUE(h.audio.callsStartingWith("BASS_CD_GetTrackLength(0,").size() == 2); // first scan
}

TEST_F(CdTextTest, NumbersUpToTheTrackCountAreAccepted) {
    scanBlock({"TITLE2=Last track", "PERFORMER2.5=Half rounds to even", "TITLE0=Blue"});
    EXPECT_TRUE(h.dialogs.messages.empty()) << h.messageTexts().join(" | ").toStdString();
    EXPECT_EQ(album(), "Blue");
}

TEST_F(CdTextTest, EntriesThatDoNotParseAreReportedWithTheirOwnNumber) {
    struct Case {
        const char* entry;
        int number;
        const char* description;
    };
    const Case cases[] = {
        {"TITLE0 Blue", 5, "Invalid procedure call or argument"},
        {"PERFORMER", 5, "Invalid procedure call or argument"},
        {"TITLE=Blue", 13, "Type mismatch"},
        {"TITLEzero=Blue", 13, "Type mismatch"},
        {"PERFORMERnan=Band", 13, "Type mismatch"},
        {"PERFORMER-1=Band", 9, "Subscript out of range"},
        {"TITLE2.51=Blue", 9, "Subscript out of range"},
    };
    for (const Case& c : cases) {
        h.audio.drives[0].open = true; // a new disc each time
        rescan();
        h.audio.drives[0].open = false;
        h.dialogs.messages.clear();
        scanBlock({"TITLE0=Blue", c.entry});
        ASSERT_EQ(h.dialogs.messages.size(), 1u) << c.entry;
        EXPECT_EQ(h.dialogs.messages.front().text, RoutineBox(c.number, c.description)) << c.entry;
        EXPECT_EQ(form().lsTracks->topLevelItemCount(), 0) << c.entry;
        EXPECT_EQ(album(), "Unknown Album") << c.entry;
    }
}

TEST_F(CdTextTest, DataTrackGetsNoRowAndNoReport) {
    scanBlock({"TITLE0=Mixed"}, 3);
    h.audio.drives[0].tracks[1] = FakeTrack{0, BASS_ERROR_NOTAUDIO, false};
    rescan();
    EXPECT_EQ(column(0), QStringList({"Track 01", "Track 03"}));
    EXPECT_EQ(rowTracks(), std::vector<int>({0, 2}));
    EXPECT_TRUE(h.dialogs.messages.empty());
    EXPECT_EQ(variables, scanVariables("1"));
}

TEST_F(CdTextTest, EntriesAfterAMultiByteValueAreReadWhole) {
    const std::string title = "Caf\xC3\xA9 \xC3\x9Cn\xC3\xAF"
                              "c\xC3\xB8"
                              "d\xC3\xA9 \xE2\x80\x93 "
                              "\xE6\x9D\xB1\xE4\xBA\xAC";
    scanBlock({"TITLE0=" + title, "PERFORMER0=The Band"});
    EXPECT_EQ(album(), QString::fromUtf8("Café Ünïcødé – 東京"));
    EXPECT_EQ(artist(), "The Band");
}

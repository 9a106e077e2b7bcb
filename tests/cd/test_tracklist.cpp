// The disc scan on the scripted library: rows, durations, the skin's transport flags, the
// selected row, and how failures are reported: once per disc, never a box over a box.
#include "cd/tracklist.h"
#include "common/product.h"
#include "playback/player.h"
#include "support/testimages.h"
#include "support/windowtest.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <utility>
#include <vector>

namespace {

using VariableLog = std::vector<std::pair<QString, QString>>;

// The variables every scan ends with: the transport flags, the status, and the disc the face's
// display band names.
VariableLog ScanVariables(const char* flag, const QString& title = {},
                          const QString& performer = {}) {
    VariableLog log;
    for (const char* name : {"Play", "Previous", "Next", "Begin", "End", "Stop", "Pause"})
        log.emplace_back(QStringLiteral("_root.%1Enabled").arg(QLatin1String(name)),
                         QString::fromLatin1(flag));
    log.emplace_back(QStringLiteral("_root.ChangeStatus"), QStringLiteral("1"));
    log.emplace_back(QStringLiteral("_root.DiscTitle"), title);
    log.emplace_back(QStringLiteral("_root.DiscPerformer"), performer);
    return log;
}

class TrackListTest : public ::testing::Test {
protected:
    // One drive with a disc of tracks of these byte lengths (below 1: unreadable).
    void load(const std::vector<int>& lengths) {
        w.audio.addDrive();
        w.audio.insertDisc(0, lengths);
        w.load();
        QObject::connect(&w.find<Flash>("Flash"), &Flash::variableSet,
                         [this](const QString& name, const QString& value) {
                             variables.emplace_back(name, value);
                         });
    }
    TrackList& tracks() { return w.find<TrackList>(); }
    void rescan() {
        variables.clear();
        tracks().LoadTrackList();
    }
    std::vector<int> rowTracks() {
        std::vector<int> result;
        for (int row = 1; row <= tracks().rowCount(); ++row)
            result.push_back(tracks().trackOfRow(row));
        return result;
    }
    QString text(const char* box) { return w.find<QLineEdit>(box).text(); }
    bool hintShown() {
        return w.find<QLabel>("lblNoTracks").isVisibleTo(&w.find<QWidget>("frMain"));
    }

    FakeWindow w;
    VariableLog variables;
};

} // namespace

TEST_F(TrackListTest, ADiscListsItsTracksAndAnEmptyDriveShowsTheHint) {
    load({30 * kSecond, 40 * kSecond, 50 * kSecond});
    rescan();
    EXPECT_EQ(w.column(0), QStringList({"Track 01", "Track 02", "Track 03"}));
    EXPECT_EQ(w.column(2), QStringList({"00:30", "00:40", "00:50"}));
    EXPECT_EQ(text("txtCDArtist"), "Unknown Artist");
    EXPECT_EQ(text("txtCDAlbum"), "Unknown Album");
    EXPECT_EQ(variables, ScanVariables("1", "Unknown Album", "Unknown Artist"));
    EXPECT_FALSE(hintShown());
    // Play, Next and Previous have a row to start from on a fresh disc.
    EXPECT_EQ(w.selectedRow(), 1);

    w.audio.drives[0].tracks.clear(); // the disc is taken out
    rescan();
    EXPECT_EQ(tracks().rowCount(), 0);
    EXPECT_TRUE(hintShown());
    EXPECT_EQ(variables, ScanVariables("0"));
    EXPECT_TRUE(w.dialogs.messages.empty());
}

TEST_F(TrackListTest, DurationsRoundHalfToEvenAndTrackNumbersHaveTwoDigits) {
    load({52920000, 635040000, 263424, 265776, 264600, 88200, 441000, kSecond, kSecond});
    // 300 s; 3600 s; 1.49 s; 1.51 s; 1.5 s up to 2; 0.5 s down to 0; 2.5 s down to 2.
    EXPECT_EQ(w.column(2).mid(0, 7),
              QStringList({"05:00", "01:00:00", "00:01", "00:02", "00:02", "00:00", "00:02"}));
    EXPECT_EQ(w.column(0).at(8), "Track 09");
}

// Rows carry their track, so an unreadable track never shifts the rows after it. The timer
// ticks while the report waits for the user: no scan starts under it.
TEST_F(TrackListTest, AnUnreadableTrackIsReportedOnceAndLeavesNoRow) {
    w.dialogs.onMessage = [this](const RecordedMessage&) {
        rescan();
        return MessageResult::Ok;
    };
    load({30 * kSecond, 0, 50 * kSecond});
    EXPECT_EQ(w.messages(), QStringList({"There was an error.\r\n\r\nError Code : 17"}));
    EXPECT_EQ(w.column(0), QStringList({"Track 01", "Track 03"}));
    EXPECT_EQ(rowTracks(), std::vector<int>({0, 2}));
}

TEST_F(TrackListTest, CdTextThatDoesNotParseIsReportedOnceAndListsNothing) {
    w.audio.addDrive();
    w.audio.insertDisc(0, {30 * kSecond});
    w.audio.drives[0].cdText = std::vector<std::string>{"TITLE7=x"};
    w.load();
    for (int i = 0; i < 3; ++i)
        rescan();
    EXPECT_EQ(w.messages(kProductName),
              QStringList({"Error in routine : LoadTrackListFromCDTextin module : frmDemo\r\n"
                           "Error #9\r\nSubscript out of range"}));
    EXPECT_EQ(tracks().rowCount(), 0);
    EXPECT_EQ(w.find<Flash>("Flash").GetVariable("_root.PlayEnabled"), "0");
}

// The playback timer rescans an empty list every 50 ms: one report per disc, not per scan.
TEST_F(TrackListTest, AFailureIsReportedAgainOnlyForANewDiscOrDrive) {
    w.audio.addDrive();
    w.audio.insertDisc(0, {0});
    w.audio.addDrive();
    w.audio.insertDisc(1, {30 * kSecond});
    w.load();
    for (int i = 0; i < 3; ++i)
        rescan();
    EXPECT_EQ(w.dialogs.messages.size(), 1u);

    w.audio.drives[0].open = true; // the door opens and closes: a new disc
    rescan();
    w.audio.drives[0].open = false;
    rescan();
    EXPECT_EQ(w.dialogs.messages.size(), 2u);

    w.find<QComboBox>("cmbCDDrives").setCurrentIndex(1);
    w.find<QComboBox>("cmbCDDrives").setCurrentIndex(0);
    EXPECT_EQ(w.dialogs.messages.size(), 3u);
}

// The keyboard plays the row with Enter, as a double click does.
TEST_F(TrackListTest, EnterPlaysTheRow) {
    load({30 * kSecond, 40 * kSecond});
    w.list().setFocus();
    tracks().selectRow(2);
    QTest::keyClick(&w.list(), Qt::Key_Return);
    EXPECT_TRUE(w.audio.called("BASS_CD_StreamCreate(0,1,327680)"));
}

// The disc scan on the real library: disc images listed as virtual drives, their CD-TEXT read
// through libcdio.
TEST(RealDiscs, DiscsListTheirAudioTracksWithTheirTitles) {
    const struct {
        QString image;
        QStringList names;
        QStringList durations;
        const char* album;
        const char* artist;
    } cases[] = {
        {QCoreApplication::applicationDirPath() + "/discs/demo.cue",
         {"Track 01", "Track 02", "Track 03", "Track 04", "Track 05"},
         {},
         "Mivo Demo Disc",
         "The Mivo Ensemble"},
        // A data track leaves no row; 150 sectors are 2 s, 188 sectors 2.51 s.
        {TestImage("mixed.cue"), {"Track 02", "Track 03"}, {"00:02", "00:03"}, "Mixed Mode", ""},
        {TestImage("nocdtext.cue"),
         {"Track 01", "Track 02", "Track 03"},
         {},
         "Unknown Album",
         "Unknown Artist"},
        {TestImage("utf8.cue"),
         {"Track 01", "Track 02"},
         {},
         "Café Ünïcødé – 東京",
         "Zoë & the Naïve Ensemble"},
    };
    QStringList images;
    for (const auto& c : cases)
        images << c.image;
    RealWindow w;
    ASSERT_TRUE(w.start(images));
    w.find<QTimer>("tmrPlaybackPosition").stop();
    auto& drives = w.find<QComboBox>("cmbCDDrives");
    for (const auto& c : cases) {
        const QString name = "(" + c.image.section('/', -1) + ")";
        SCOPED_TRACE(name.toStdString());
        drives.setCurrentIndex(drives.findText(name, Qt::MatchEndsWith));
        ASSERT_TRUE(drives.currentText().endsWith(name));
        EXPECT_EQ(w.column(0), c.names);
        EXPECT_EQ(c.durations.isEmpty() ? c.durations : w.column(2), c.durations);
        EXPECT_EQ(w.find<QLineEdit>("txtCDAlbum").text(), QString::fromUtf8(c.album));
        if (*c.artist) {
            EXPECT_EQ(w.find<QLineEdit>("txtCDArtist").text(), QString::fromUtf8(c.artist));
        }
    }
    EXPECT_TRUE(w.dialogs.messages.empty()) << w.messages().join(" | ").toStdString();
}

// Audio hidden before track 1 is offered as track 0 above it, and plays; a track mastered with
// pre-emphasis is marked, for the eye and for a screen reader; the rip is told the disc's codes.
TEST(RealDiscs, TheHiddenTrackIsOfferedAndPreEmphasisMarked) {
    RealWindow w;
    ASSERT_TRUE(w.start({TestImage("archive.cue")}));
    TrackList& tracks = w.find<TrackList>();
    ASSERT_TRUE(WaitUntil([&] { return tracks.rowCount() == 6; }));
    EXPECT_EQ(w.column(0), QStringList({"Track 00", "Track 01", "Track 02", "Track 03", "Track 04",
                                        "Track 05"}));
    EXPECT_EQ(w.column(2).first() + w.column(3).first(), "00:04Hidden track");
    EXPECT_EQ(w.selectedRow(), 2) << "track 1 stays the row to play from";
    for (int row = 0; row < 6; ++row) {
        const QTreeWidgetItem* item = w.list().topLevelItem(row);
        EXPECT_EQ(!item->icon(1).isNull(), row == 3) << row;
        EXPECT_EQ(item->data(0, Qt::AccessibleTextRole).toString().contains("pre-emphasis"),
                  row == 3);
    }
    const DiscTags tags = tracks.discTags();
    EXPECT_EQ(tags.hiddenTrackTitle + tags.mcn + tags.isrcs.join(','),
              "Hidden track0724384960650GBAYE6900001,GBAYE6900002,,USRC17607839,");
    EXPECT_EQ(tags.titlesFrom, "") << "the hidden track's name is no title of the disc's";

    emit w.list().itemDoubleClicked(w.list().topLevelItem(0), 0);
    BassCore& core = w.audio->library().core;
    const DWORD stream = w.find<Player>().currentStream();
    EXPECT_EQ(core.BASS_StreamGetLength(stream), QWORD(300 * 2352));
    EXPECT_TRUE(WaitUntil([&] { return core.BASS_ChannelGetPosition(stream) > 0; }));
}

// The disc scan on the real library: disc images listed as virtual drives.
#include "cd/tracklist.h"
#include "support/testimages.h"
#include "support/windowtest.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>

namespace {

class RealDiscTest : public ::testing::Test {
protected:
    void start(const QStringList& images) {
        ASSERT_TRUE(w.start(images));
        w.find<QTimer>("tmrPlaybackPosition").stop();
        EXPECT_TRUE(w.dialogs.messages.empty()) << w.messages().join(" | ").toStdString();
    }
    // Chooses the virtual drive of the named image; false when it is not listed.
    bool choose(const QString& imageName) {
        auto& drives = w.find<QComboBox>("cmbCDDrives");
        for (int i = 0; i < drives.count(); ++i)
            if (drives.itemText(i).endsWith("(" + imageName + ")")) {
                drives.setCurrentIndex(i);
                return true;
            }
        return false;
    }
    QString text(const char* box) { return w.find<QLineEdit>(box).text(); }

    RealWindow w;
};

} // namespace

TEST_F(RealDiscTest, DiscsListTheirAudioTracksWithTheirTitles) {
    struct Case {
        QString image;
        QStringList names;
        QStringList durations;
        const char* album;
        const char* artist;
    };
    const Case cases[] = {
        {QCoreApplication::applicationDirPath() + "/discs/demo.cue",
         {"Track 01", "Track 02", "Track 03", "Track 04", "Track 05"},
         {},
         "Mivo Demo Disc",
         "The Mivo Ensemble"},
        // A data track leaves no row; 150 sectors are 2 s, 188 sectors 2.51 s.
        {TestImage("mixed.cue"), {"Track 02", "Track 03"}, {"00:02", "00:03"}, "Mixed Mode", ""},
        {TestImage("nocdtext.cue"),
         {"Track 01", "Track 02", "Track 03"},
         {"00:02", "00:03", "00:04"},
         "Unknown Album",
         "Unknown Artist"},
        {TestImage("utf8.cue"),
         {"Track 01", "Track 02"},
         {},
         "Café Ünïcødé – 東京",
         "Zoë & the Naïve Ensemble"},
    };
    QStringList images;
    for (const Case& c : cases)
        images << c.image;
    start(images);
    for (const Case& c : cases) {
        const QString name = c.image.section('/', -1);
        ASSERT_TRUE(choose(name)) << name.toStdString();
        EXPECT_EQ(w.column(0), c.names) << name.toStdString();
        if (!c.durations.isEmpty()) {
            EXPECT_EQ(w.column(2), c.durations) << name.toStdString();
        }
        EXPECT_EQ(text("txtCDAlbum"), QString::fromUtf8(c.album));
        if (*c.artist) {
            EXPECT_EQ(text("txtCDArtist"), QString::fromUtf8(c.artist));
        }
    }
    EXPECT_TRUE(w.dialogs.messages.empty()) << w.messages().join(" | ").toStdString();
}

TEST_F(RealDiscTest, OpenDoorEmptiesTheListAndClosingItListsTheDiscAgain) {
    start({TestImage("nocdtext.cue")});
    ASSERT_TRUE(choose("nocdtext.cue"));
    auto& tracks = w.find<TrackList>();
    ASSERT_EQ(tracks.rowCount(), 3);

    w.command("IDC_FS_OpenFiles");
    EXPECT_EQ(tracks.rowCount(), 0);
    EXPECT_TRUE(w.find<QLabel>("lblNoTracks").isVisibleTo(&w.find<QWidget>("frMain")));
    EXPECT_EQ(w.find<Flash>("Flash").GetVariable("_root.PlayEnabled"), "0");

    w.command("IDC_FS_OpenFiles");
    EXPECT_EQ(tracks.rowCount(), 3);
    EXPECT_EQ(w.find<Flash>("Flash").GetVariable("_root.PlayEnabled"), "1");
}

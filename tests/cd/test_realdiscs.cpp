// The disc scan on the real library: disc images listed as virtual drives, their CD-TEXT read
// through libcdio.
#include "support/testimages.h"
#include "support/windowtest.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>

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

// The cover of the disc in the window's centre: fetched from a loopback Cover Art Archive for the
// release MusicBrainz named, an image dropped on the centre or chosen with Cover…, kept in the
// cache for that disc, gone with the disc, and what a rip is handed.
#include "cd/disccover.h"
#include "cd/releasechooser.h"
#include "metadata/disctags.h"
#include "support/loopbackhttp.h"
#include "support/testimages.h"
#include "support/windowtest.h"

#include <QAccessible>
#include <QBuffer>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QQuickItem>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>

namespace {

QByteArray Png(QColor colour) {
    QImage image(300, 300, QImage::Format_RGB32);
    image.fill(colour);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

// MusicBrainz with one release of any disc, and the archive with a red front cover for it.
std::optional<QByteArray> Databases(const QByteArray& request) {
    if (request.startsWith("GET /release/rel-1/front-"))
        return LoopbackHttp::Response(200, Png(Qt::red));
    const QByteArray disc =
        QRegularExpression("discid/([^?]+)").match(request).captured(1).toUtf8();
    return LoopbackHttp::Response(
        200, R"({"releases": [{"id": "rel-1", "title": "Covered", "media": [{"discs": [{"id": ")" +
                 disc + R"("}], "tracks": [{}, {}]}]}]})");
}

class DiscCoverTest : public ::testing::Test {
protected:
    // The colour of the top of where the cover stands on the face (the logo lies lower), when it
    // is one colour.
    QColor centre() {
        const QImage region = w.find<Flash>("Flash").grabFramebuffer().copy(322, 180, 80, 60);
        for (int y = 0; y < region.height(); ++y)
            for (int x = 0; x < region.width(); ++x)
                if (region.pixel(x, y) != region.pixel(0, 0))
                    return QColor();
        return region.pixelColor(0, 0);
    }
    QString state() { return w.find<QLabel>("lblCover").text(); }
    bool showing(const char* text) {
        return WaitUntil([&] { return state() == text; });
    }
    int archiveRequests() {
        return int(std::count_if(m_server.requests.cbegin(), m_server.requests.cend(),
                                 [](const QByteArray& r) { return r.contains("/front-500"); }));
    }

    QTemporaryDir m_cache;
    ScopedEnv m_cacheHome{"XDG_CACHE_HOME", m_cache.path().toStdString()};
    LoopbackHttp m_server{Databases};
    ScopedEnv m_musicBrainz{"MIVO_MUSICBRAINZ_URL", m_server.url()};
    ScopedEnv m_archive{"MIVO_COVERART_URL", m_server.url()};
    RealWindow w;
};

} // namespace

TEST_F(DiscCoverTest, TheArchivesCoverOrTheUsersImageStandsInTheCentreWhileTheDiscIsIn) {
    ASSERT_TRUE(w.start({TestImage("cdtext.cue")}));
    w.form().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w.form()));
    const QColor logo("#0b1a26"); // the display's own colour, above the logo
    ASSERT_TRUE(showing("Cover: Cover Art Archive"));
    QTRY_COMPARE(centre(), QColor(Qt::red));
    auto* cover = w.find<Flash>("Flash").rootObject()->findChild<QQuickItem*>("coverArt");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(cover)->text(QAccessible::Name),
              "Cover of Covered");

    // Dropped on the centre, the user's image takes the archive's place; one that is no image
    // is refused with its reason.
    const QString blue = m_cache.filePath("blue.png"), page = m_cache.filePath("page.jpg");
    for (const auto& [path, bytes] :
         {std::pair{blue, Png(Qt::blue)}, {page, QByteArray("<html>")}}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QMetaObject::invokeMethod(w.find<Flash>("Flash").rootObject(), "fileDropped",
                              Q_ARG(QUrl, QUrl::fromLocalFile(blue)));
    ASSERT_TRUE(showing("Cover: your image"));
    QTRY_COMPARE(centre(), QColor(Qt::blue));
    w.dialogs.fileAnswer = page;
    w.find<QPushButton>("cmdCover").click();
    ASSERT_TRUE(WaitUntil([&] { return !w.messages("Cover").isEmpty(); }));
    EXPECT_EQ(w.messages("Cover"),
              QStringList{"page.jpg cannot be the cover: not a JPEG or PNG image."});
    DiscTags tags;
    w.find<DiscCover>().addTo(tags);
    EXPECT_EQ(tags.cover.data, Png(Qt::blue));
    EXPECT_EQ(tags.coverNotes, QStringList{"cover: your image blue.png: PNG 300×300, 1 KiB"});

    // The disc leaves: the logo; it comes back: its cover from the cache, without the network.
    w.command("IDC_FS_OpenFiles");
    EXPECT_EQ(w.find<Flash>("Flash").GetVariable("_root.CoverArt"), "");
    QTRY_COMPARE(centre(), logo);
    w.command("IDC_FS_OpenFiles");
    ASSERT_TRUE(showing("Cover: your image"));
    QTRY_COMPARE(centre(), QColor(Qt::blue));
    w.find<QCheckBox>("chkCoverArt").setChecked(false);
    EXPECT_EQ(state(), "Cover: off in the General Options");
    EXPECT_FALSE(w.find<QPushButton>("cmdCover").isEnabled());
    QTRY_COMPARE(centre(), logo);
    EXPECT_EQ(archiveRequests(), 1);
}

// The chooser shows the archive's thumbnail beside a MusicBrainz release; others have none.
TEST_F(DiscCoverTest, TheReleaseChooserShowsEachReleasesThumbnail) {
    ReleaseInfo fromMusicBrainz, fromGnudb;
    fromMusicBrainz.releaseId = "rel-1";
    fromMusicBrainz.source = ReleaseSource::MusicBrainz;
    fromGnudb.source = ReleaseSource::Gnudb;
    ReleaseChooser chooser({fromGnudb, fromMusicBrainz}, nullptr, true);
    chooser.show();
    const auto* table = chooser.findChild<QTableWidget*>("tblReleases");
    ASSERT_EQ(table->horizontalHeaderItem(0)->text(), "Cover");
    ASSERT_TRUE(WaitUntil([&] { return !table->item(1, 0)->icon().isNull(); }));
    EXPECT_EQ(table->item(1, 0)->icon().pixmap(64).toImage().pixelColor(32, 32), QColor(Qt::red));
    EXPECT_EQ(table->item(1, 0)->data(Qt::AccessibleTextRole), "front cover");
    EXPECT_EQ(table->item(0, 0)->data(Qt::AccessibleTextRole), "no cover");
    EXPECT_TRUE(m_server.requests.last().contains("/release/rel-1/front-250"));
}

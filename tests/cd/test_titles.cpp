// Titles of the disc in the window: the disc's CD-TEXT at once, then the release found online
// (picked by the user among several, and remembered), edits by the user, and what a rip is told.
#include "cd/releasechooser.h"
#include "cd/tracklist.h"
#include "support/loopbackhttp.h"
#include "support/testimages.h"
#include "support/windowtest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <taglib/fileref.h>
#include <taglib/tag.h>

namespace {

const char* const kReleases = R"json({"releases": [
  {"title": "First Pressing", "media": [{"discs": [{"id": "ID"}], "tracks": [{}, {}]}]},
  {"title": "Remaster", "artist-credit": [{"name": "Band B"}], "media": [
    {"discs": [{"id": "ID"}], "tracks": [{"title": "Uno (remastered)"}]}]}]})json";

// Plays MusicBrainz: two releases of any disc asked for, the second with one track.
QByteArray TwoReleases(const QByteArray& request) {
    const QByteArray disc =
        QRegularExpression("discid/([^?]+)").match(request).captured(1).toUtf8();
    return LoopbackHttp::Response(200, QByteArray(kReleases).replace("ID", disc));
}

bool Settled(const TrackList& tracks) {
    return !tracks.discTags().lookupPending;
}

// Title, artist, album and track number of each file as TagLib reads them back, "|"-joined.
QStringList TagsOf(const QStringList& files) {
    QStringList tags;
    for (const QString& file : files) {
        const TagLib::FileRef tagged(QFile::encodeName(file).constData());
        const TagLib::Tag* tag = tagged.isNull() ? nullptr : tagged.tag();
        tags << (tag ? QString::fromStdString(
                           tag->title().to8Bit(true) + '|' + tag->artist().to8Bit(true) + '|' +
                           tag->album().to8Bit(true) + '|' + std::to_string(tag->track()))
                     : "no tags: " + file);
    }
    return tags;
}

// Rips track 1 as MP3, OGG, FLAC and WMA into folder; the files.
QStringList RipTrackOneInTaggedFormats(WindowUnderTest& w, const QString& folder) {
    w.find<QLineEdit>("txtExtractPath").setText(folder);
    w.tick({1});
    QStringList files;
    for (auto [option, extension] : {std::pair{"optExtractMode0", "mp3"},
                                     {"optExtractMode4", "ogg"},
                                     {"optExtractMode5", "flac"},
                                     {"optExtractMode2", "WMA"}}) {
        w.find<QRadioButton>(option).setChecked(true);
        w.command("IDC_FS_ExtractBtn");
        files << folder + "/TRACK1." + extension;
    }
    return files;
}

class Titles : public ::testing::Test {
protected:
    void start(const QStringList& images) {
        ASSERT_TRUE(w.start(images));
        tracks().setReleaseChoice([this](QWidget*, const QList<ReleaseInfo>& releases) {
            offered << releases.size();
            return 1;
        });
    }
    TrackList& tracks() { return w.find<TrackList>(); }
    QString box(const char* name) { return w.find<QLineEdit>(name).text(); }
    bool showing(const char* album) {
        return WaitUntil([&] { return box("txtCDAlbum") == album; });
    }

    QTemporaryDir m_cache;
    ScopedEnv m_cacheHome{"XDG_CACHE_HOME", m_cache.path().toStdString()};
    LoopbackHttp m_server{TwoReleases};
    ScopedEnv m_musicBrainz{"MIVO_MUSICBRAINZ_URL", m_server.url()};
    RealWindow w;
    QList<qsizetype> offered; // how many releases each question offered
};

} // namespace

TEST_F(Titles, TheReleasePickedAmongSeveralNamesTheDiscAndIsRemembered) {
    start({TestImage("cdtext.cue")});
    EXPECT_EQ(w.column(3), QStringList({"First Song", "Second Song"})); // at once, from CD-TEXT
    ASSERT_TRUE(showing("Remaster"));
    EXPECT_EQ(offered, QList<qsizetype>{2});
    EXPECT_EQ(box("txtCDArtist"), "Band B");
    EXPECT_EQ(w.column(3), QStringList({"Uno (remastered)", ""})); // beyond the release: none
    EXPECT_EQ(w.list().topLevelItem(0)->data(0, Qt::AccessibleTextRole).toString(),
              "Track 01, Audio, 00:02, Uno (remastered), not ticked");
    const DiscTags tags = tracks().discTags();
    EXPECT_EQ(tags.release.source, ReleaseSource::MusicBrainz);
    EXPECT_TRUE(m_server.requests[0].contains("/discid/" + tags.musicBrainzDiscId.toUtf8() + '?'));
    EXPECT_EQ(tags.lookupSteps.last(), "titles: MusicBrainz");

    // Ripped, the files are named by the pattern and tagged with the release; the WMA tag boxes
    // that still hold their label words write the disc's values or nothing.
    const QString folder = m_cache.filePath("out");
    w.find<QLineEdit>("txtExtractPath").setText(folder);
    w.find<QLineEdit>("txtFileNames").setText("{artist}/{nn} {title}");
    w.tick({1, 2});
    for (const char* format : {"optExtractMode0", "optExtractMode2"}) {
        w.find<QRadioButton>(format).setChecked(true);
        w.command("IDC_FS_ExtractBtn");
    }
    for (const char* file :
         {"/Band B/01 Uno (remastered).mp3", "/Band B/01 Uno (remastered).WMA"}) {
        const TagLib::FileRef tagged(QFile::encodeName(folder + file).constData());
        ASSERT_FALSE(tagged.isNull()) << file;
        const TagLib::Tag& tag = *tagged.tag();
        EXPECT_EQ(tag.title().to8Bit(true) + '|' + tag.artist().to8Bit(true) + '|' +
                      tag.album().to8Bit(true) + '|' + tag.comment().to8Bit(true),
                  "Uno (remastered)|Band B|Remaster|")
            << file;
    }
    EXPECT_TRUE(QFile::exists(folder + "/Band B/02 Track 02.mp3"));

    tracks().LoadTrackList();
    EXPECT_EQ(box("txtCDAlbum"), "Text Disc");
    ASSERT_TRUE(showing("Remaster"));
    EXPECT_EQ(offered.size(), 1) << "the choice is remembered";
    EXPECT_EQ(m_server.requests.size(), 1) << "a disc seen once needs no network";
}

// What the user typed while the answer was on its way stays; the rest comes from the answer.
TEST_F(Titles, WhatTheUserTypedBeforeTheAnswerStays) {
    ASSERT_TRUE(w.start({TestImage("cdtext.cue")}));
    QString typed;
    tracks().setReleaseChoice([&](QWidget*, const QList<ReleaseInfo>&) {
        QTest::keyClicks(&w.find<QLineEdit>("txtCDArtist"), " Live");
        typed = box("txtCDArtist");
        return 1;
    });
    ASSERT_TRUE(showing("Remaster"));
    EXPECT_TRUE(typed.endsWith(" Live"));
    EXPECT_EQ(box("txtCDArtist"), typed);
}

// The tags hold the window's value of each field: an artist typed and put back as it was stays
// the window's, never mixed with the release's artist that came after.
TEST_F(Titles, TheTagsHoldWhatTheWindowShowsWhenTheRipStarts) {
    ASSERT_TRUE(w.start({TestImage("cdtext.cue")}));
    tracks().setReleaseChoice([&](QWidget*, const QList<ReleaseInfo>&) {
        auto& artist = w.find<QLineEdit>("txtCDArtist");
        QTest::keyClicks(&artist, " Live");
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(&artist, Qt::Key_Backspace);
        return 1;
    });
    ASSERT_TRUE(showing("Remaster"));
    EXPECT_EQ(box("txtCDArtist"), "Text Band");
    EXPECT_EQ(w.find<QLabel>("lblTitlesFrom").text(), "Titles from: MusicBrainz, typed");
    EXPECT_EQ(TagsOf(RipTrackOneInTaggedFormats(w, m_cache.filePath("out"))),
              QStringList(4, "Uno (remastered)|Text Band|Remaster|1"));
}

// Titles typed for a disc without CD-TEXT that nothing was looked up for are tagged too.
TEST(TitlesTyped, ADiscNothingIsKnownOfIsTaggedWithWhatWasTyped) {
    QTemporaryDir folder;
    RealWindow w;
    ASSERT_TRUE(w.start({TestImage("nocdtext.cue")}));
    w.find<QCheckBox>("chkLookUpOnline").setChecked(false);
    w.find<TrackList>().LoadTrackList();
    auto& label = w.find<QLabel>("lblTitlesFrom");
    EXPECT_EQ(label.text(), "Titles: none known");
    EXPECT_EQ(label.accessibleName(), "Where the titles came from");
    for (auto [name, text] : {std::pair{"txtCDArtist", "Typed Band"}, {"txtCDAlbum", "Typed"}}) {
        auto& box = w.find<QLineEdit>(name);
        box.selectAll();
        QTest::keyClicks(&box, text);
    }
    w.list().topLevelItem(0)->setText(3, "Typed Song");
    EXPECT_EQ(label.text(), "Titles from: typed");
    EXPECT_EQ(TagsOf(RipTrackOneInTaggedFormats(w, folder.path())),
              QStringList(4, "Typed Song|Typed Band|Typed|1"));
}

// The user chooses while another disc is scanned: the choice names nothing there.
TEST_F(Titles, AChoiceAboutTheDiscBeforeIsDropped) {
    start({TestImage("cdtext.cue"), TestImage("nocdtext.cue")});
    tracks().setReleaseChoice([this](QWidget*, const QList<ReleaseInfo>&) {
        w.find<QCheckBox>("chkLookUpOnline").setChecked(false);
        w.find<QComboBox>("cmbCDDrives").setCurrentIndex(1);
        return 1;
    });
    ASSERT_TRUE(WaitUntil([&] { return !m_server.requests.isEmpty() && Settled(tracks()); }));
    EXPECT_EQ(box("txtCDAlbum"), "Unknown Album");
    EXPECT_EQ(tracks().discTags().lookupSteps.value(0),
              "online lookup: off in the General Options");
}

// F2 or a double click on a title edits it (a double click elsewhere plays); the boxes take
// typing: a rip gets what the window shows. Nothing is looked up when the box is unticked.
TEST(TitlesEdited, ARipIsToldTheTitlesAsTheWindowShowsThem) {
    FakeWindow w;
    w.audio.addDrive();
    w.audio.insertDisc(0, {30 * kSecond, 40 * kSecond});
    w.audio.drives[0].cdText = {{"TITLE0=Album", "TITLE1=One", "TITLE2=Two", "PERFORMER2=Guest"}};
    w.load();
    w.form().show();
    w.command("IDC_FS_ShowExtract");
    w.find<QCheckBox>("chkLookUpOnline").setChecked(false);
    auto& tracks = w.find<TrackList>();
    tracks.LoadTrackList();
    QTreeWidget& list = w.list();
    const auto typeTitle = [&](const char* text) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // closed editors
        QLineEdit* editor = list.viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents(); // the edit ends after the key
    };
    const auto doubleClick = [&](int column) {
        const QPoint cell = list.visualRect(list.model()->index(0, column)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, cell);
    };
    tracks.selectRow(2);
    QTest::keyClick(&list, Qt::Key_F2);
    typeTitle("Zwei");
    doubleClick(3);
    typeTitle("Eins");
    EXPECT_TRUE(w.audio.callsStartingWith("BASS_CD_StreamCreate").empty());
    doubleClick(2);
    EXPECT_TRUE(w.audio.called("BASS_CD_StreamCreate(0,0,327680)"));
    QTest::keyClicks(&w.find<QLineEdit>("txtCDArtist"), "Band");

    ASSERT_TRUE(WaitUntil([&] { return Settled(tracks); }));
    const DiscTags tags = tracks.discTags();
    EXPECT_EQ(tags.lookupSteps,
              QStringList({"online lookup: off in the General Options", "titles: CD-TEXT, typed"}));
    EXPECT_EQ(tags.release.artist + '/' + tags.release.title, "Band/Album");
    ASSERT_EQ(tags.release.tracks.size(), 2);
    EXPECT_EQ(tags.release.tracks[0].title + '/' + tags.release.tracks[1].title, "Eins/Zwei");
    EXPECT_EQ(tags.release.tracks[1].artist, "Guest");
    w.audio.drives[0].cdText.reset();
    tracks.LoadTrackList(); // "Unknown Artist" stands for no name at all
    EXPECT_EQ(tracks.discTags().release.artist + tracks.discTags().release.title, "");
}

// A title hundreds of thousands of characters long, on the disc or from a database, reaches the
// window, the tags and the log cut to its first thousand, and the log says so.
TEST(TitlesLong, AreCutToAThousandCharacters) {
    QTemporaryDir cache;
    const ScopedEnv cacheHome("XDG_CACHE_HOME", cache.path().toStdString());
    LoopbackHttp server([](const QByteArray& request) {
        const QByteArray disc =
            QRegularExpression("discid/([^?]+)").match(request).captured(1).toUtf8();
        return LoopbackHttp::Response(200, R"({"releases": [{"title": ")" + QByteArray(5000, 'y') +
                                               R"(", "media": [{"discs": [{"id": ")" + disc +
                                               R"("}], "tracks": [{"title": "Uno"}]}]}]})");
    });
    const ScopedEnv musicBrainz("MIVO_MUSICBRAINZ_URL", server.url());
    FakeWindow w;
    w.audio.addDrive();
    w.audio.insertDisc(0, {30 * kSecond});
    w.audio.drives[0].cdText = {{"TITLE0=" + std::string(500000, 'x'), "TITLE1=One"}};
    w.load();
    auto& tracks = w.find<TrackList>();
    auto& album = w.find<QLineEdit>("txtCDAlbum");
    w.find<QCheckBox>("chkLookUpOnline").setChecked(false);
    tracks.LoadTrackList();
    EXPECT_EQ(album.text(), QString(1000, 'x'));
    EXPECT_TRUE(tracks.discTags().lookupSteps.contains(
        "album title cut to its first 1000 of 500000 characters"));

    w.find<QCheckBox>("chkLookUpOnline").setChecked(true);
    tracks.LoadTrackList();
    ASSERT_TRUE(WaitUntil([&] { return album.text().startsWith('y'); }));
    EXPECT_EQ(album.text(), QString(1000, 'y'));
    EXPECT_TRUE(tracks.discTags().lookupSteps.contains(
        "album title cut to its first 1000 of 5000 characters"));
}

// The drive belongs to the rip: an answer that comes while it runs waits, and the release
// chooser opens after it; the rip names its files from what was known when it started and its
// log says so.
TEST(TitlesDuringARip, AnAnswerWaitsForTheRipToEnd) {
    QTemporaryDir temp;
    const ScopedEnv cacheHome("XDG_CACHE_HOME", temp.filePath("cache").toStdString());
    LoopbackHttp musicBrainz([](const QByteArray&) { return std::nullopt; }); // answered below
    const ScopedEnv url("MIVO_MUSICBRAINZ_URL", musicBrainz.url());
    FakeWindow w;
    w.audio.addDrive();
    w.audio.insertDisc(0, {2 * kSecond, 2 * kSecond});
    w.audio.drives[0].cdText = {{"TITLE0=Text Disc", "TITLE1=First Song", "TITLE2=Second Song"}};
    ASSERT_TRUE(w.load());
    QList<qsizetype> offered;
    w.find<TrackList>().setReleaseChoice([&](QWidget*, const QList<ReleaseInfo>& releases) {
        offered << releases.size();
        return 1;
    });
    ASSERT_TRUE(WaitUntil([&] { return !musicBrainz.requests.isEmpty(); }));
    w.find<QLineEdit>("txtExtractPath").setText(temp.filePath("out"));
    w.find<QLineEdit>("txtFileNames").setText("{nn} {title}");
    w.find<QRadioButton>("optExtractMode1").setChecked(true);
    w.tick({1, 2});
    w.audio.afterGetData = [&](DWORD, int call) {
        if (call != 1)
            return;
        // The lookup stores what it found before it says so; any box would open right after.
        ASSERT_TRUE(WaitUntil([&] {
            musicBrainz.answerWaiting(TwoReleases(musicBrainz.requests.last()));
            return !QDir(temp.filePath("cache/mivo")).isEmpty(QDir::Files | QDir::Hidden);
        }));
        QTest::qWait(200);
        EXPECT_TRUE(offered.isEmpty()) << "the chooser opened during the rip";
    };
    w.command("IDC_FS_ExtractBtn");
    EXPECT_TRUE(QFile::exists(temp.filePath("out/01 First Song.WAV")));
    ASSERT_TRUE(WaitUntil([&] { return !offered.isEmpty(); }));
    EXPECT_EQ(w.find<QLineEdit>("txtCDAlbum").text(), "Remaster");
    const QStringList logs = QDir(temp.filePath("out")).entryList({"Mivo rip *.log"});
    ASSERT_EQ(logs.size(), 1);
    QFile log(temp.filePath("out/" + logs[0]));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("online lookup: no answer when the rip started; the files "
                                       "are named from the titles known then"));
}

// A match by the track lengths alone is offered as a guess even when it is the only one, and
// the window says where the titles came from once it is chosen.
TEST(TitlesGuessed, AGuessIsOfferedNeverTakenAlone) {
    QTemporaryDir cache;
    const ScopedEnv cacheHome("XDG_CACHE_HOME", cache.path().toStdString());
    LoopbackHttp musicBrainz([](const QByteArray& request) {
        return LoopbackHttp::Response(
            request.contains("toc=") ? 200 : 404,
            R"({"releases": [{"title": "Lookalike", "media": [{"track-count": 3,
                "tracks": [{"title": "A"}, {"title": "B"}, {"title": "C"}]}]}]})");
    });
    const ScopedEnv url("MIVO_MUSICBRAINZ_URL", musicBrainz.url());
    RealWindow w;
    QString hint, match;
    qsizetype offered = 0;
    ASSERT_TRUE(w.start({TestImage("nocdtext.cue")}));
    w.find<TrackList>().setReleaseChoice([&](QWidget*, const QList<ReleaseInfo>& releases) {
        offered = releases.size();
        ReleaseChooser chooser(releases, nullptr);
        hint = chooser.findChild<QLabel*>("lblChooseHint")->text();
        const auto* table = chooser.findChild<QTableWidget*>("tblReleases");
        match = table->horizontalHeaderItem(table->columnCount() - 1)->text() + ": " +
                table->item(0, table->columnCount() - 1)->text();
        return 0;
    });
    ASSERT_TRUE(WaitUntil([&] { return w.find<QLineEdit>("txtCDAlbum").text() == "Lookalike"; }));
    EXPECT_EQ(offered, 1);
    EXPECT_EQ(match, "Match: guess");
    EXPECT_TRUE(hint.contains("may be another disc (guesses)")) << hint.toStdString();
    EXPECT_EQ(w.find<QLabel>("lblTitlesFrom").text(),
              "Titles from: MusicBrainz (a guess you chose)");
}

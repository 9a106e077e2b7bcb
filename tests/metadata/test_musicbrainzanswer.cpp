// The releases read from MusicBrainz's answers: which ones are kept, and what is read from them.
#include "metadata/musicbrainzanswer.h"

#include <gtest/gtest.h>

namespace {
// Three releases: one with this disc, one with another pressing's disc and the same track count,
// and a two-disc box whose second medium is this disc.
const QByteArray kAnswer = R"({"id": "DISC", "releases": [
 {"id": "r1", "title": "Blue\u0007 Days", "date": "1999-10-08", "country": "GB", "barcode": "123",
  "artist-credit": [{"name": "Ann", "joinphrase": " & "}, {"name": "Bo", "joinphrase": ""}],
  "label-info": [{"catalog-number": "CAT 1", "label": {"name": "Lab"}},
                 {"catalog-number": null, "label": {"name": "Other"}}],
  "media": [{"track-count": 2, "discs": [{"id": "DISC"}], "tracks": [
    {"title": "One", "recording": {"id": "rec1"}},
    {"title": "Two", "artist-credit": [{"name": "Guest"}], "recording": {"id": "rec2"}}]}]},
 {"id": "r2", "media": [{"track-count": 2, "discs": [{"id": "ELSE"}], "tracks": [{}, {}]}]},
 {"id": "r3", "title": "Box", "date": "2001", "media": [
   {"track-count": 3, "discs": [], "tracks": [{}, {}, {}]},
   {"track-count": 1, "discs": [{"id": "ELSE"}, {"id": "DISC"}], "tracks": [{"title": "Solo"}]}]}
]})";

QStringList Ids(const QList<ReleaseInfo>& releases) {
    QStringList ids;
    for (const ReleaseInfo& release : releases)
        ids << release.releaseId;
    return ids;
}

// The release's fields, then each track's, in one line.
QString Described(const ReleaseInfo& r) {
    QStringList fields = {r.title,         r.artist,  QString::number(r.year), r.country, r.label,
                          r.catalogNumber, r.barcode, SourceName(r.source)};
    for (const TrackInfo& track : r.tracks)
        fields << track.title + '/' + track.artist + '/' + track.recordingId;
    return fields.join('|');
}
} // namespace

TEST(MusicBrainzAnswer, KeepsTheReleasesWithThisDiscOrItsTrackCount) {
    EXPECT_EQ(Ids(ParseMusicBrainzDiscAnswer(kAnswer, "DISC")), QStringList({"r1", "r3"}));
    EXPECT_EQ(Ids(ParseMusicBrainzDiscAnswer(kAnswer, "NONE")), QStringList());
    EXPECT_EQ(Ids(ParseMusicBrainzTocAnswer(kAnswer, 2)), QStringList({"r1", "r2"}));
    EXPECT_EQ(Ids(ParseMusicBrainzTocAnswer(kAnswer, 3)), QStringList({"r3"}));
    for (const char* broken : {"", "<html>", R"({"releases": [{"id": )", R"({"releases": 7})",
                               R"([{"releases": []}])", R"({"releases": [{"media": 1}]})"})
        EXPECT_TRUE(ParseMusicBrainzDiscAnswer(broken, "DISC").isEmpty()) << broken;
}

// A track without an artist credit of its own has the release's.
TEST(MusicBrainzAnswer, ReadsTheReleaseAndTheTracksOfThisDisc) {
    const QList<ReleaseInfo> releases = ParseMusicBrainzDiscAnswer(kAnswer, "DISC");
    ASSERT_EQ(releases.size(), 2);
    EXPECT_EQ(Described(releases[0]), "Blue Days|Ann & Bo|1999|GB|Lab, Other|CAT 1|123|MusicBrainz|"
                                      "One/Ann & Bo/rec1|Two/Guest/rec2");
    EXPECT_EQ(Described(releases[1]), "Box||2001|||||MusicBrainz|Solo//");
}

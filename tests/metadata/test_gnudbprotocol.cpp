// gnudb's query replies and xmcd records, as servers send them and as they go wrong.
#include "metadata/gnudbprotocol.h"

#include <gtest/gtest.h>

TEST(GnudbProtocol, QueryRepliesGiveTheMatchesOrSayWhyNot) {
    using Kind = GnudbQueryReply::Kind;
    const struct {
        const char* reply;
        Kind kind;
        QStringList ids;
    } cases[] = {
        {"200 rock 7a0b1c0d Ann / Blue\r\n", Kind::Matches, {"rock/7a0b1c0d"}},
        {"211 close\r\nrock 1 A / B\r\nmisc 2 C / D\r\n.\r\n", Kind::Matches, {"rock/1", "misc/2"}},
        {"210 exact\nrock 1 A / B\n", Kind::Error, {}}, // the list never ends
        {"202 No match for disc ID 7a0b1c0d.\r\n", Kind::NoMatch, {}},
        {"403 Database entry is corrupt.\r\n", Kind::Error, {}},
        {"<html><body>Busy</body></html>", Kind::Error, {}},
        {"", Kind::Error, {}},
    };
    for (const auto& c : cases) {
        const GnudbQueryReply reply = ParseGnudbQueryReply(c.reply);
        QStringList ids;
        for (const GnudbMatch& match : reply.matches)
            ids << match.category + '/' + match.discId;
        EXPECT_EQ(reply.kind, c.kind) << c.reply;
        EXPECT_EQ(ids, c.ids) << c.reply;
    }
}

TEST(GnudbProtocol, XmcdRecordsJoinContinuedValuesAndNameCompilationArtists) {
    const QString longTitle(300, 'x');
    const QString record = "# xmcd\nDTITLE=Various / Hits \nDTITLE=of 1999\nDYEAR=1999\n"
                           "DGENRE=Pop\nEXTD=YEAR: 1999\nTTITLE0=Tab\\there\\\\back\\nline\n"
                           "TTITLE1=Guest / Song\x01 \nTTITLE3=" +
                           longTitle.left(250) + "\nTTITLE3=" + longTitle.mid(250) +
                           "\nTTITLE999999=ignored\nPLAYORDER=\n";
    const ReleaseInfo release = ParseXmcdRecord(record);
    EXPECT_EQ(QStringList({release.artist, release.title, release.genre}),
              QStringList({"Various", "Hits of 1999", "Pop"}));
    EXPECT_EQ(release.year, 1999);
    QStringList tracks;
    for (const TrackInfo& track : release.tracks)
        tracks << track.artist + '/' + track.title;
    EXPECT_EQ(tracks, QStringList({"Various/Tab here\\back line", "Guest/Song", "Various/",
                                   "Various/" + longTitle}));
    EXPECT_EQ(ParseXmcdRecord("DTITLE=Self Titled").artist, "Self Titled");
}

TEST(GnudbProtocol, ReadRepliesGiveARecordOnlyWhenComplete) {
    EXPECT_EQ(ParseGnudbReadReply("210 rock 1 entry\r\nDTITLE=A / B\r\n.\r\n")->title, "B");
    EXPECT_FALSE(ParseGnudbReadReply("210 rock 1 entry\r\nDTITLE=A / B\r\n"));
    EXPECT_FALSE(ParseGnudbReadReply("401 rock 1 No such CD entry in database.\r\n"));
}

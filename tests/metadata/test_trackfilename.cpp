// File names from the user's pattern: fields, sub-folders, and what a name cannot hold.
#include "metadata/trackfilename.h"

#include <gtest/gtest.h>

TEST(TrackFileName, FillsThePatternWithSafeNames) {
    const TrackNameFields blue{4, "AC/DC: Live?", "Ann", "Blue", 1999};
    const TrackNameFields empty{4, "", "", "", 0};
    const struct {
        const char* pattern;
        TrackNameFields fields;
        const char* name;
    } cases[] = {
        {"TRACK{n}", blue, "TRACK4"},
        {"{nn} {title}", blue, "04 AC_DC_ Live_"},
        {"{artist}/{album} ({year})/{nn} {title}", blue, "Ann/Blue (1999)/04 AC_DC_ Live_"},
        {"{artist}/{album} ({year})/{nn} {title}", empty,
         "Unknown Artist/Unknown Album (Unknown Year)/04 Track 04"},
        {"/{title}//", {4, "..", "", "", 0}, "__"},
        {"{title}", {4, " .hidden\tfile\x01 ", "", "", 0}, "_hidden_file_"},
        {"{title} {unknown}", {4, "Björk – 青", "", "", 0}, "Björk – 青 {unknown}"},
        {"", blue, "TRACK4"},
        {"{format}/{nn}", {4, "", "", "", 0, "FLAC"}, "FLAC/04"},
        {"{format}/{nn}", empty, "Unknown Format/04"},
        {"{title}", {4, "\x02", "", "", 0}, "_"},
        // Windows' device names, with or without an extension, and trailing dots and spaces
        {"{artist}/{album}/{title}", {4, "nul.txt", "CON", "Com1", 0}, "_CON/_Com1/_nul.txt"},
        {"{title} {album}", {4, "lpt9", "", "", 0}, "lpt9 Unknown Album"},
        {"{album}/{title}", {4, "Live. .", "", "Best of.", 0}, "Best of_/Live___"},
        // invisible characters that make a name look like another one
        {"{title}", {4, "abc\u202Egpj.exe", "", "", 0}, "abc_gpj.exe"},
        {"{title}", {4, "a\u200Bb\u2028c\u2029d\uFEFFe\U000E0001f", "", "", 0}, "a_b_c_d_e_f"},
        // the hidden track before track 1
        {"{n}-{nn} {title}", {0, "", "", "", 0}, "0-00 Track 00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TrackFileName(c.pattern, c.fields), c.name) << c.pattern;
    const QString longName = TrackFileName("{title}", {1, QString(300, QChar(0x9752)), "", "", 0});
    EXPECT_LE(longName.toUtf8().size(), 200);
    EXPECT_GT(longName.toUtf8().size(), 190);
    // A file about the whole disc is named after the album, as safely.
    EXPECT_EQ(DiscFileName("AC/DC: Live?", "cue"), "AC_DC_ Live_.cue");
    EXPECT_EQ(DiscFileName(" ", "m3u8"), "Disc.m3u8");
}

TEST(TrackFileName, NamesThatCollideGetANumber) {
    UniqueFileNames names;
    EXPECT_EQ(names.claim("a/Intro"), "a/Intro");
    EXPECT_EQ(names.claim("a/intro"), "a/intro (2)");
    EXPECT_EQ(names.claim("a/Intro"), "a/Intro (3)");
    EXPECT_EQ(names.claim("b/Intro"), "b/Intro");
}

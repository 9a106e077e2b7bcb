// The CD-TEXT block read for the disc's title and performer, and the failures it reports.
#include "cd/cdtext.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
// Entries laid end to end up to an empty one, as the library hands them over.
std::string Block(const std::vector<std::string>& entries) {
    std::string block;
    for (const std::string& entry : entries)
        block += entry + '\0';
    return block + '\0';
}
} // namespace

TEST(CdText, DiscTitlesComeFromTheEntriesNumberedZero) {
    struct Case {
        std::vector<std::string> entries;
        const char* title;
        const char* performer;
    };
    const Case cases[] = {
        {{"TITLE0=Blue", "PERFORMER0=Band", "TITLE1=Intro"}, "Blue", "Band"},
        {{"title0=blue", "Performer0=band"}, "blue", "band"}, // keys in any case
        {{"TITLE0=First", "PERFORMER0=A=B", "TITLE0=Second"}, "Second", "A=B"},
        {{"TITLE0.4=Rounded to the disc"}, "Rounded to the disc", ""},
        {{"TITLE1=Intro", "PERFORMER2=Guest"}, "", ""}, // only track entries: empty boxes
        {{"SONGWRITER0=W", "GENRE", "MESSAGE5=hi", "TITLE0=Blue", "DISC_ID=x"}, "Blue", ""},
        {{"TITLE2=Last", "PERFORMER2.5=Half rounds to even", "TITLE0=Blue"}, "Blue", ""},
        {{"TITLE0=Caf\xC3\xA9 \xE6\x9D\xB1\xE4\xBA\xAC", "PERFORMER0=The Band"},
         "Caf\xC3\xA9 \xE6\x9D\xB1\xE4\xBA\xAC",
         "The Band"}, // read whole after UTF-8
    };
    for (const Case& c : cases) {
        const auto parsed = ParseCdText(Block(c.entries).c_str(), 2);
        const auto* titles = std::get_if<DiscTitles>(&parsed);
        ASSERT_NE(titles, nullptr) << c.entries.front();
        EXPECT_EQ(titles->title, QString::fromUtf8(c.title)) << c.entries.front();
        EXPECT_EQ(titles->performer, QString::fromUtf8(c.performer)) << c.entries.front();
    }
}

TEST(CdText, EntriesThatDoNotParseFailTheBlockWithTheirOwnNumber) {
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
        {"TITLE3=Beyond the last track", 9, "Subscript out of range"},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseCdText(Block({"TITLE0=Blue", c.entry}).c_str(), 2);
        const auto* failure = std::get_if<CdTextFailure>(&parsed);
        ASSERT_NE(failure, nullptr) << c.entry;
        EXPECT_EQ(failure->number, c.number) << c.entry;
        EXPECT_EQ(failure->description, c.description) << c.entry;
    }
}
